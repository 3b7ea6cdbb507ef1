"""A private Xvfb screen for the native hack tests, and the X chores they share:
planting a desktop picture on the root window, making and resizing windows, reading
pixels back, and watching the hack's process end."""

import os
import signal
import subprocess
import sys
import time
from pathlib import Path

import numpy
from PIL import Image
from Xlib import X, display as xdisplay

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from winehost import rgb_pixels, start_x_server  # noqa: E402

BUILD = Path(os.environ.get("SORVANTA_BUILD", Path(__file__).resolve().parents[2] / "build" / "native"))
HACK = BUILD / "hack" / "sorvanta"
SHOTS = BUILD / "tests" / "hack" / "shots"

RED = (255, 0, 0)
YELLOW = (255, 255, 0)


class Screen:
    """An Xvfb server of its own, 24-bit, with GLX (Mesa)."""

    def __init__(self, width=1280, height=1024):
        self.start_server(["Xvfb", "-screen", "0", f"{width}x{height}x24"], width, height)

    def start_server(self, command, width, height, env=None):
        """Starts the X server on a display that it picks itself, as the Wine tests' do:
        two test processes that start servers at once never reach for the same one."""
        self.width, self.height = width, height
        self.process, self.name = start_x_server(command, env=env)
        self.connection = xdisplay.Display(self.name)

    def environment(self, **extra):
        env = dict(os.environ, DISPLAY=self.name)
        for inherited in ("XSCREENSAVER_WINDOW", "WAYLAND_DISPLAY"):
            env.pop(inherited, None)
        env.update(extra)
        return env

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def plant_desktop(self):
        """Left half red, right half yellow, kept as the root's background after this
        connection closes."""
        connection = xdisplay.Display(self.name)
        screen = connection.screen()
        root = screen.root
        pixmap = root.create_pixmap(self.width, self.height, screen.root_depth)
        for colour, x in ((RED, 0), (YELLOW, self.width // 2)):
            pixel = (colour[0] << 16) | (colour[1] << 8) | colour[2]
            gc = pixmap.create_gc(foreground=pixel)
            pixmap.fill_rectangle(gc, x, 0, self.width // 2, self.height)
        root.change_attributes(background_pixmap=pixmap)
        root.clear_area()
        connection.set_close_down_mode(X.RetainPermanent)
        connection.sync()
        connection.close()

    def make_window(self, width, height):
        screen = self.connection.screen()
        window = screen.root.create_window(
            40, 40, width, height, 0, screen.root_depth, X.InputOutput, X.CopyFromParent,
            background_pixel=screen.black_pixel, event_mask=X.StructureNotifyMask)
        window.map()
        self.connection.sync()
        return window

    def resize(self, window, width, height):
        window.configure(width=width, height=height)
        self.connection.sync()

    def grab(self, window=None):
        """The pixels of a window (or the whole screen) as an RGB array."""
        root = self.connection.screen().root
        window = window or root
        geometry = window.get_geometry()
        origin = window.translate_coords(root, 0, 0)
        x, y = -origin.x, -origin.y  # where the window's corner lies on the screen
        return self.grab_area(x, y, geometry.width, geometry.height)

    def grab_area(self, x, y, width, height):
        """The pixels of a rectangle of the screen, cut to the screen, as an RGB array."""
        root = self.connection.screen().root
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + width, self.width), min(y + height, self.height)
        return rgb_pixels(root, x0, y0, x1 - x0, y1 - y0)

    def save(self, pixels, name):
        SHOTS.mkdir(parents=True, exist_ok=True)
        path = SHOTS / name
        Image.fromarray(pixels).save(path)
        return path

    def find_window(self, title, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for child in self.connection.screen().root.query_tree().children:
                try:
                    if child.get_wm_name() == title:
                        return child
                except Exception:
                    pass
            time.sleep(0.1)
        return None


class MonitorScreen(Screen):
    """Monitors side by side from (0, 0), the first the primary: Xephyr with one screen
    for each, joined by Xinerama (and RandR off, so that Xinerama alone tells where the
    monitors lie), drawn on an Xvfb of its own."""

    def __init__(self, sizes):
        left = 0
        self.monitors = []
        for width, height in sizes:
            self.monitors.append((left, 0, width, height))
            left += width
        height = max(height for _, height in sizes)
        self.host = Screen(left, height)
        screens = [arg for width, height in sizes for arg in ("-screen", f"{width}x{height}")]
        try:
            self.start_server(["Xephyr", *screens, "+xinerama", "-extension", "RANDR"], left,
                              height, env=self.host.environment())
        except Exception:
            self.host.stop()
            raise

    def grab_monitor(self, index):
        return self.grab_area(*self.monitors[index])

    def stop(self):
        super().stop()
        self.host.stop()


def colour_share(pixels, colour, tolerance=60):
    """The share of pixels within the tolerance of a colour."""
    difference = numpy.abs(pixels.astype(int) - numpy.array(colour)).max(axis=2)
    return float((difference <= tolerance).mean())


def scene_shown(pixels):
    """Whether the scene's glass box lights the picture's middle."""
    height, width, _ = pixels.shape
    return pixels[height // 3:2 * height // 3, width // 3:2 * width // 3].max() > 60


def wait_until_drawn(screen, window, timeout=60):
    """Waits until the scene's glass box lights the window's middle."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if window.get_attributes().map_state != X.IsViewable:
            time.sleep(0.2)
            continue
        pixels = screen.grab(window)
        if scene_shown(pixels):
            return pixels
        time.sleep(0.5)
    return screen.grab(window)


def children_of(pid):
    found = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                fields = (entry / "stat").read_text().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if int(fields[1]) == pid:
                found.append(int(entry.name))
    return found


def become_subreaper():
    """Orphans of the processes this test starts become its own children, so a child
    the hack leaves behind can be found."""
    import ctypes
    PR_SET_CHILD_SUBREAPER = 36
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def start_hack(screen, *arguments, env=None, **popen):
    return subprocess.Popen([str(HACK), *arguments], env=env or screen.environment(),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, **popen)


def end(process, sig=signal.SIGTERM, timeout=10):
    if process.poll() is None:
        process.send_signal(sig)
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        return process.wait()
