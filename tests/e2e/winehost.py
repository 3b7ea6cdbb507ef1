"""Virtual X screens and private Wine prefixes for the Windows tests.

Every test run gets its own Xvfb (a free display found with -displayfd) and its own
Wine prefix under the build folder, never the user's. Waits poll with a deadline;
nothing sleeps for a fixed time to wait for something.
"""

import hashlib
import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

WINE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree,mshtml=",
}


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    """Polls predicate until it returns a true value; returns it or raises TimeoutError."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def whole_lines(path):
    """The lines a program has finished writing to path: a log's writer creates the file
    before it writes, so a line without its newline is still being written."""
    if not path.exists():
        return []
    text = path.read_text("utf-8")
    return text[:text.rfind("\n") + 1].splitlines()


def start_x_server(command, env=None):
    """Starts an X server that reports its free display through -displayfd; returns the
    process and the display name."""
    read_fd, write_fd = os.pipe()
    process = subprocess.Popen(
        [*command, "-displayfd", str(write_fd), "-noreset", "-nolisten", "tcp"],
        pass_fds=(write_fd,), env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        start_new_session=True)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    if not number:
        process.kill()
        process.wait()
        raise RuntimeError(f"{command[0]} did not report a display")
    return process, f":{number}"


def stop_process(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def answer_window_states(display):
    """Sets the window states on the display, as a window manager would (wm_state.py),
    so that Wine does not wait 2 s at every shown window it hides. It answers from a
    thread of this process over a connection of its own, which costs a tenth of what a
    Python program for each screen did, and ends when the X server does."""
    import threading

    import wm_state

    connection = connect(display)
    atom = wm_state.watch(connection)
    thread = threading.Thread(target=wm_state.answer, args=(connection, atom),
                              name=f"window states on {display}", daemon=True)
    thread.start()
    return thread


def connect(display):
    """A python-xlib connection with a table of event types of its own. The library keeps
    one table on its class for every connection of the process, and each connection adds
    its server's extension events to it; Xephyr without RANDR numbers those otherwise
    than Xvfb, and a second connection of the other kind then fails with a TypeError."""
    from Xlib import display as xdisplay
    from Xlib.protocol import display as protocol_display, event

    protocol_display.Display.event_classes = event.event_class.copy()
    connection = xdisplay.Display(display)
    connection.display.event_classes = protocol_display.Display.event_classes
    return connection


def rgb_pixels(root, x, y, width, height):
    """A rectangle of the screen under the root window, as a height x width x 3 array of
    RGB bytes."""
    import numpy as np
    from Xlib import X

    image = root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
    # A 24-bit visual comes as 32 bits a pixel, least significant byte first: B, G, R, pad.
    if image.depth != 24 or len(image.data) != width * height * 4:
        raise RuntimeError(f"no 32-bit pixels from a {image.depth}-bit screen")
    pixels = np.frombuffer(image.data, np.uint8).reshape(height, width, 4)
    return np.ascontiguousarray(pixels[..., 2::-1])


class Screen:
    """An Xvfb server of a given size, on a free display, whose windows get the state a
    window manager would give them (wm_state.py)."""

    def __init__(self, width=1024, height=768, depth=24):
        self.width, self.height = width, height
        self._xlib = None
        self.process, self.display = start_x_server(
            ["Xvfb", "-screen", "0", f"{width}x{height}x{depth}"])
        try:
            self.states = answer_window_states(self.display)
        except Exception:
            stop_process(self.process)
            raise

    def env(self):
        return {"DISPLAY": self.display}

    def xlib(self):
        """This test's own connection to the X server, opened on first use."""
        if self._xlib is None:
            self._xlib = connect(self.display)
        return self._xlib

    def picture(self):
        """The whole screen now, as a height x width x 3 array of RGB bytes, read from the
        X server over this test's connection: a tenth of the time ImageMagick's import
        takes to start, encode a PNG and have it decoded again."""
        root = self.xlib().screen().root
        size = root.get_geometry()
        return rgb_pixels(root, 0, 0, size.width, size.height)

    def screenshot(self, path):
        """The whole screen as an RGB PNG file at path; returns the path."""
        from PIL import Image

        Image.fromarray(self.picture()).save(path, compress_level=1)
        return Path(path)

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env={**os.environ, **self.env()},
                                capture_output=True, text=True)
        if check and result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(args)}: {result.stderr.strip()}")
        return result.stdout

    def windows(self, name_regex, visible=True):
        """X window ids whose name matches the (anchored) regular expression."""
        args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", name_regex]
        return self.xdotool(*args, check=False).split()

    def wait_window(self, name_regex, timeout=30):
        try:
            return wait_until(lambda: self.windows(name_regex), timeout,
                              what=f"a window named {name_regex}")[0]
        except TimeoutError as error:
            raise TimeoutError(f"{error}; the screen's windows:\n{self.window_list()}") from None

    def window_list(self):
        """The top-level windows as xwininfo lists them (name, size, place), for a failure's
        message; unmapped ones too."""
        result = subprocess.run(["xwininfo", "-root", "-children"],
                                env={**os.environ, **self.env()}, capture_output=True, text=True)
        return "\n".join(line.strip() for line in result.stdout.splitlines() if "0x" in line)

    def wait_no_window(self, name_regex, timeout=30):
        wait_until(lambda: not self.windows(name_regex), timeout,
                   what=f"no window named {name_regex}")

    def geometry(self, window):
        """(x, y, width, height) of an X window."""
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return (int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"]))

    def pointer(self):
        """Where the pointer stands: (x, y)."""
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def move_pointer(self, x, y):
        """Moves the pointer to (x, y) and returns once it is there. xdotool's own wait
        (--sync) waits 15 s for a motion when the pointer already stands over a Wine
        window at that point, so that case is left alone."""
        if self.pointer() != (x, y):
            self.xdotool("mousemove", "--sync", str(x), str(y))

    def key(self, window, *keys):
        """Presses and releases each key in the window. A press may close the window (a
        message box's Return, the renderer's Escape) before its release is sent, so a
        release that finds the window gone is no error; a press that does is."""
        for key in keys:
            self.xdotool("keydown", "--window", window, key)
            self.xdotool("keyup", "--window", window, key, check=False)

    def stop(self):
        if self._xlib is not None:
            self._xlib.close()
            self._xlib = None
        stop_process(self.process)
        self.states.join(5)


class MonitorScreen(Screen):
    """Several monitors side by side, left to right from (0, 0), the first the primary:
    Xephyr with one screen per monitor joined by Xinerama (and no RandR, with which Wine
    would see one monitor), drawn on an Xvfb of its own. Wine can't change display modes
    here; the current mode of each monitor is the only one it accepts."""

    def __init__(self, sizes):
        self.monitors = []
        left = 0
        for width, height in sizes:
            self.monitors.append((left, 0, width, height))
            left += width
        self.width, self.height = left, max(height for _, height in sizes)
        self.host = Screen(self.width, self.height)
        self._xlib = None
        try:
            screens = [arg for width, height in sizes for arg in ("-screen", f"{width}x{height}")]
            self.process, self.display = start_x_server(
                ["Xephyr", *screens, "+xinerama", "-extension", "RANDR"],
                env={**os.environ, **self.host.env()})
            self.states = answer_window_states(self.display)
        except Exception:
            if hasattr(self, "process"):
                stop_process(self.process)
            self.host.stop()
            raise

    def fill_monitors(self, colours):
        """One plain X window of one colour (r, g, b) over each monitor, standing for a
        program the user left open there. Wine repaints the root window when its
        programs start, so a picture on the root would not last."""
        from Xlib import X

        screen = self.xlib().screen()
        for (left, top, width, height), (r, g, b) in zip(self.monitors, colours):
            pixel = screen.default_colormap.alloc_color(r * 257, g * 257, b * 257).pixel
            window = screen.root.create_window(left, top, width, height, 0, screen.root_depth,
                                               X.InputOutput, X.CopyFromParent,
                                               background_pixel=pixel, override_redirect=True)
            window.map()
        self.xlib().sync()

    def stop(self):
        super().stop()
        self.host.stop()


class WinePrefix:
    """A private Wine prefix bound to one screen (one DISPLAY) at a time."""

    def __init__(self, root, screen=None, lang="C.UTF-8"):
        self.root = Path(root)
        self.path = self.root / "prefix"
        self.screen = screen
        self.lang = lang
        # More DLL overrides for this prefix's programs: "rundll32.exe=n" runs a program
        # planted in the system folder instead of Wine's own.
        self.more_overrides = ""

    def env(self):
        env = dict(os.environ)
        env.update(WINE_ENV)
        env.update({
            "WINEPREFIX": str(self.path),
            "XDG_CONFIG_HOME": str(self.root / "xdg-config"),
            "XDG_CACHE_HOME": str(self.root / "xdg-cache"),
            "XDG_RUNTIME_DIR": str(self.root / "xdg-runtime"),
            "LANG": self.lang,
            "LC_ALL": self.lang,
        })
        if self.more_overrides:
            env["WINEDLLOVERRIDES"] += ";" + self.more_overrides
        if self.screen is not None:
            env.update(self.screen.env())
        else:
            env.pop("DISPLAY", None)
        return env

    def boot(self):
        """Creates the prefix on first use, with Japanese-capable font replacements."""
        for sub in ("xdg-config", "xdg-cache", "xdg-runtime"):
            (self.root / sub).mkdir(parents=True, exist_ok=True)
        os.chmod(self.root / "xdg-runtime", 0o700)
        if not (self.path / "system.reg").exists():
            subprocess.run(["wineboot", "-i"], env=self.env(), check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=180)
            for face in ("MS Shell Dlg", "MS UI Gothic", "ＭＳ Ｐゴシック", "Tahoma"):
                self.run(["reg", "add", r"HKCU\Software\Wine\Fonts\Replacements",
                          "/v", face, "/t", "REG_SZ", "/d", "IPAGothic", "/f"])
            self.stop_server()
        return self

    def drive_c(self):
        return self.path / "drive_c"

    def run(self, args, timeout=120, **kwargs):
        """Runs a program in the prefix and returns what it wrote, as subprocess.run does
        with capture_output. Its errors go through a file, not a pipe: the prefix's
        services that the program brings up hold its error output open until they end,
        and a pipe would keep the call waiting a second or more after the program."""
        with tempfile.TemporaryFile() as errors:
            result = subprocess.run(["wine", *map(str, args)], env=self.env(), timeout=timeout,
                                    stdout=subprocess.PIPE, stderr=errors, **kwargs)
            errors.seek(0)
            result.stderr = errors.read()
        if isinstance(result.stdout, str):
            result.stderr = result.stderr.decode(kwargs.get("encoding") or "utf-8",
                                                 kwargs.get("errors") or "replace")
        return result

    def start(self, args, **kwargs):
        return subprocess.Popen(["wine", *map(str, args)], env=self.env(),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)

    def stop_server(self):
        """Ends every process of the prefix and waits for the wineserver to go."""
        env = self.env()
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, stderr=subprocess.DEVNULL, timeout=60)

    def discard(self):
        """Ends every process of the prefix at once and deletes the prefix, for one that
        nothing reads again: the wineserver is killed, so it saves no registry and no
        caller polls for its exit, which stop_server's wait takes half a second for."""
        socket_folder = self.server_socket_folder()
        wait_until(lambda: not self.kill_processes(), 30, interval=0.01,
                   what="the prefix's processes to end")
        if socket_folder is not None:
            shutil.rmtree(socket_folder, ignore_errors=True)
        shutil.rmtree(self.root, ignore_errors=True)

    def kill_processes(self):
        """Sends SIGKILL to the live processes of this prefix (wineserver included); returns
        how many there were."""
        pids = prefix_process_arguments(self.path)
        for pid in pids:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        return len(pids)

    def server_socket_folder(self):
        """The folder of the wineserver's socket and lock, which a killed server leaves:
        named after the prefix folder's device and inode, under the folder that the
        prefix's "wineserver" file names in the temporary folder."""
        try:
            base = (self.path / "wineserver").read_text().strip()
            status = self.path.stat()
        except OSError:
            return None
        if not base or "/" in base:
            return None
        return Path(tempfile.gettempdir()) / base / f"server-{status.st_dev:x}-{status.st_ino:x}"

    def windows_path(self, unix_path):
        """The Windows path of a file inside drive_c."""
        rel = Path(unix_path).resolve().relative_to(self.drive_c().resolve())
        return "C:\\" + str(rel).replace("/", "\\")


def prefix_process_arguments(prefix_path):
    """{pid: argument list} of the live processes started with this WINEPREFIX (wineserver
    included). A zombie has no environment left to read, so it is not among them."""
    marker = b"WINEPREFIX=" + str(prefix_path).encode() + b"\0"
    found = {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if marker not in (entry / "environ").read_bytes() + b"\0":
                continue
            argv = (entry / "cmdline").read_bytes().rstrip(b"\0").split(b"\0")
        except OSError:
            continue
        found[int(entry.name)] = [arg.decode(errors="replace") for arg in argv]
    return found


# Files of the booted system that Wine only reads once the prefix exists: the 700 MB of
# programs, libraries and tables of the Windows folder. A copy links them instead of copying
# them; everything else (the registry, settings, what the tests write) is copied.
READ_ONLY_SYSTEM_FILES = {".dll", ".exe", ".drv", ".sys", ".ocx", ".cpl", ".acm", ".ax",
                          ".tlb", ".nls", ".ds", ".com", ".msstyles"}


def copy_or_link(source, destination):
    if (Path(source).suffix.lower() in READ_ONLY_SYSTEM_FILES
            and "/drive_c/windows/" in str(source)):
        os.link(source, destination)
    else:
        shutil.copy2(source, destination)


def clone_prefix(template, root, screen=None, lang="C.UTF-8"):
    """A new prefix copied from a booted one: much faster than a second wineboot."""
    template.stop_server()
    prefix = WinePrefix(root, screen, lang)
    if prefix.root.exists():
        shutil.rmtree(prefix.root)
    shutil.copytree(template.root, prefix.root, symlinks=True, copy_function=copy_or_link)
    return prefix


# One booted template prefix per build folder, made by the ctest fixture "wine_template"
# and copied by every test module and by the unit tests' environment. It is kept between
# runs while what it was booted from stays the same (its fingerprint). It is made under a
# temporary name and renamed when complete, so a run that was killed half-way leaves
# nothing that looks usable; the next run removes what it left.

# Wine updates a prefix whose recorded time differs from its wine.inf's, writing its
# programs anew, and the copies share those files with the template.
WINE_INF = Path("/usr/share/wine/wine.inf")


def template_root(build):
    return Path(build).resolve() / "wine" / "template"


def template_ready(build):
    """Whether the build has a complete template booted from the Wine and the harness
    there are now."""
    root = template_root(build)
    stamp = root / "fingerprint"
    return ((root / "prefix" / "system.reg").exists() and stamp.exists()
            and stamp.read_text() == template_fingerprint())


def template_fingerprint():
    """What a booted template depends on: Wine's version, the time of its wine.inf and
    this file, which boots it."""
    version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout
    inf_time = WINE_INF.stat().st_mtime_ns if WINE_INF.exists() else "no wine.inf"
    harness = hashlib.sha256(Path(__file__).read_bytes()).hexdigest()
    return f"{version.strip()}\n{inf_time}\n{harness}\n"


def make_template(build):
    """Boots the build's template, unless the one there was booted from the same Wine and
    the same harness."""
    if template_ready(build):
        return
    root = template_root(build)
    remove_template(build)
    partial = root.with_name(root.name + ".partial")
    screen = Screen(640, 480)
    try:
        WinePrefix(partial, screen).boot().stop_server()
    finally:
        screen.stop()
    (partial / "fingerprint").write_text(template_fingerprint())
    partial.rename(root)


def remove_template(build):
    root = template_root(build)
    for leftover in (root, root.with_name(root.name + ".partial")):
        if leftover.exists():
            WinePrefix(leftover).stop_server()
            shutil.rmtree(leftover)


# Shared environment of the cross-built unit tests: one Xvfb and one prefix per
# build folder, started by the ctest fixture "wine_env" and stopped by its cleanup.

def unit_root(build):
    return Path(build).resolve() / "wine" / "unit"


def start_unit_env(build):
    root = unit_root(build)
    stop_unit_env(build)
    if root.exists():
        shutil.rmtree(root)
    screen = Screen(1024, 768)
    if template_ready(build):
        clone_prefix(WinePrefix(template_root(build)), root, screen)
    else:
        WinePrefix(root, screen).boot()
    (root / "display").write_text(screen.display)
    (root / "xvfb.pid").write_text(str(screen.process.pid))
    keep_session(WinePrefix(root, screen))


def keep_session(prefix):
    """Starts the prefix's wineserver to stay until it is killed, and its services with
    it. Debian's wineserver quits as soon as its last program has ended, so without this
    every unit test would boot the prefix's services afresh and then wait for them to
    shut down again."""
    env = prefix.env()
    subprocess.run(["wineserver", "-p"], env=env, check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wine", "cmd", "/c", "exit"], env=env, check=True, timeout=120,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop_unit_env(build):
    root = unit_root(build)
    display = root / "display"
    if display.exists():
        screen_env = {"DISPLAY": display.read_text().strip()}
        prefix = WinePrefix(root)
        env = prefix.env()
        env.update(screen_env)
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, stderr=subprocess.DEVNULL, timeout=60)
        display.unlink()
    pid_file = root / "xvfb.pid"
    if pid_file.exists():
        try:
            os.kill(int(pid_file.read_text()), signal.SIGTERM)
        except (ProcessLookupError, ValueError):
            pass
        pid_file.unlink()


if __name__ == "__main__":
    import sys
    command, build = sys.argv[1], sys.argv[2]
    {"start": start_unit_env, "stop": stop_unit_env,
     "template": make_template}[command](build)
