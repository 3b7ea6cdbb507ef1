"""The one part of a window manager that Wine waits for, for the tests' virtual screens.

Before it hides a top-level window that it let a window manager manage, Wine waits until
the window's WM_STATE property shows the map done, for up to 2 s; with no window manager
nobody sets it, so every DestroyWindow of a shown window (the renderer after Escape, the
settings dialog, a message box) took 2 s more. This sets WM_STATE as a window manager
does (NormalState when a top-level window is mapped, WithdrawnState when it is unmapped)
and nothing else: windows keep their places, sizes, stacking and focus.

The tests' screens answer from a thread of the test process (winehost.Screen); run as a
program it answers on any display until the X server ends:

    /usr/bin/python3 wm_state.py DISPLAY
"""

import sys

from Xlib import X, display as xdisplay
from Xlib.error import ConnectionClosedError

NORMAL_STATE, WITHDRAWN_STATE = 1, 0


def watch(screen):
    """Asks the connection's X server for the root window's map and unmap events; returns
    the WM_STATE atom, once the server has taken the request."""
    # A window may be gone before its state is set: that is no error here.
    screen.set_error_handler(lambda *_: None)
    screen.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
    wm_state = screen.intern_atom("WM_STATE")
    screen.sync()
    return wm_state


def answer(screen, wm_state):
    """Sets the state of every managed window that is mapped or unmapped, until the X
    server closes the connection."""
    # Windows that a window manager leaves alone (override-redirect: menus, pop-ups) get
    # no state.
    managed = set()
    try:
        while True:
            event = screen.next_event()
            if event.type == X.MapNotify and not event.override:
                managed.add(event.window.id)
                set_state(screen, event.window, wm_state, NORMAL_STATE)
            elif event.type == X.UnmapNotify and event.window.id in managed:
                managed.discard(event.window.id)
                set_state(screen, event.window, wm_state, WITHDRAWN_STATE)
    except (ConnectionClosedError, OSError):
        pass


def set_state(screen, window, wm_state, state):
    window.change_property(wm_state, wm_state, 32, [state, 0])
    screen.flush()


if __name__ == "__main__":
    display = xdisplay.Display(sys.argv[1])
    answer(display, watch(display))
