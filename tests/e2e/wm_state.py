"""The one part of a window manager that Wine waits for, for the tests' virtual screens.

Before it hides a top-level window that it let a window manager manage, Wine waits until
the window's WM_STATE property shows the map done, for up to 2 s; with no window manager
nobody sets it, so every DestroyWindow of a shown window (the renderer after Escape, the
settings dialog, a message box) took 2 s more. This program sets WM_STATE as a window
manager does (NormalState when a top-level window is mapped, WithdrawnState when it is
unmapped) and nothing else: windows keep their places, sizes, stacking and focus.

    /usr/bin/python3 wm_state.py DISPLAY

It prints "ready" once it watches the screen and ends with the X server."""

import sys

from Xlib import X, display as xdisplay
from Xlib.error import ConnectionClosedError

NORMAL_STATE, WITHDRAWN_STATE = 1, 0


def main(name):
    screen = xdisplay.Display(name)
    # A window may be gone before its state is set: that is no error here.
    screen.set_error_handler(lambda *_: None)
    screen.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
    wm_state = screen.intern_atom("WM_STATE")
    screen.sync()
    print("ready", flush=True)
    # Windows that a window manager leaves alone (override-redirect: menus, pop-ups) get
    # no state.
    managed = set()
    while True:
        event = screen.next_event()
        if event.type == X.MapNotify and not event.override:
            managed.add(event.window.id)
            set_state(screen, event.window, wm_state, NORMAL_STATE)
        elif event.type == X.UnmapNotify and event.window.id in managed:
            managed.discard(event.window.id)
            set_state(screen, event.window, wm_state, WITHDRAWN_STATE)


def set_state(screen, window, wm_state, state):
    window.change_property(wm_state, wm_state, 32, [state, 0])
    screen.flush()


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except ConnectionClosedError:
        pass
