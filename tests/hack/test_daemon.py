"""The hack run by the real XScreenSaver daemon, from the files of the Debian package
unpacked into a folder of their own. XScreenSaver refuses to run hacks as root, so the
daemon runs as an unprivileged user made for the test, whose ~/.xscreensaver got
Sorvanta from the package's sorvanta-enable. On one screen, and on two monitors, where
the daemon runs a copy of the hack on each."""

import os
import pwd
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

import xscreen
from xscreen import RED, YELLOW

USER = "sorvanta-saver"

SETTINGS = """\
timeout:\t1:00:00
cycle:\t0:00:00
lock:\tFalse
splash:\tFalse
fade:\tFalse
unfade:\tFalse
dpmsEnabled:\tFalse
grabDesktopImages:\tTrue
grabVideoFrames:\tFalse
chooseRandomImages:\tFalse
mode:\tone
selected:\t2
programs:\t\t\t\t\t\t\t\t      \\
-\t\t\t\tmaze --root\t\t\t\t    \\n\\
  GL: \t\t\t\tgears --root\t\t\t\t    \\n
"""


@pytest.fixture
def saver_user():
    if os.getuid() != 0:
        pytest.skip("making the daemon's user needs root")
    try:
        pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--create-home", "--shell", "/bin/sh", USER], check=True)
    return pwd.getpwnam(USER)


def package():
    folder = Path(os.environ.get("SORVANTA_DEB_FOLDER", xscreen.BUILD / "tests/packaging/deb"))
    found = sorted(folder.glob("sorvanta_*.deb"))
    assert len(found) == 1, f"one package expected in {folder}: run the packaging_deb_make test"
    return found[0]


@pytest.fixture
def daemon_home(saver_user):
    """A fresh home, the package's files unpacked in it (where the user can reach them:
    the build tree may not be) and its hack folder on the daemon's PATH, and a settings
    file with two other hacks to which the user's own sorvanta-enable added Sorvanta."""
    home = Path(tempfile.mkdtemp(prefix="sorvanta-saver-"))
    subprocess.run(["dpkg-deb", "-x", str(package()), str(home / "root")], check=True)
    (home / ".xscreensaver").write_text(SETTINGS)
    subprocess.run(["chown", "-R", f"{saver_user.pw_uid}:{saver_user.pw_gid}", str(home)],
                   check=True)
    home.chmod(0o755)
    enabled = subprocess.run(as_user(home, None, "sorvanta-enable"), capture_output=True,
                             text=True)
    assert enabled.returncode == 0, enabled.stderr
    assert "sorvanta --root" in (home / ".xscreensaver").read_text()
    yield home
    shutil.rmtree(home, ignore_errors=True)


def as_user(home, screen, *command):
    path = f"{home / 'root/usr/libexec/xscreensaver'}:{home / 'root/usr/bin'}:/usr/bin:/bin"
    env = ["env", "-i", f"HOME={home}", f"USER={USER}", f"LOGNAME={USER}", f"PATH={path}"]
    if screen is not None:
        env.append(f"DISPLAY={screen.name}")
    return ["runuser", "-u", USER, "--", *env, *command]


def hack_processes(home):
    """The copies of the package's hack that are running, found by their program file."""
    packaged = home / "root/usr/libexec/xscreensaver/sorvanta"
    found = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if (entry / "exe").resolve() == packaged:
                    found.append(int(entry.name))
            except OSError:
                pass
    return found


def wait_for(condition, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.25)
    return condition()


class Daemon:
    """XScreenSaver run by the saver's user on a screen, its output in the home's log."""

    def __init__(self, home, screen):
        self.home, self.screen = home, screen
        self.log = home / "daemon.log"
        with open(self.log, "w") as output:
            self.process = subprocess.Popen(
                as_user(home, screen, "xscreensaver", "--no-splash", "--verbose"),
                stdout=output, stderr=output)

    def command(self, *arguments):
        return subprocess.run(as_user(self.home, self.screen, "xscreensaver-command", *arguments),
                              capture_output=True, text=True, timeout=30).returncode == 0

    def text(self):
        return self.log.read_text()

    def stop(self):
        subprocess.run(as_user(self.home, self.screen, "xscreensaver-command", "-exit"),
                       capture_output=True, timeout=30)
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


@pytest.fixture
def run_daemon(daemon_home):
    """Starts the daemon on a screen once it is made; exits it and stops the screen after
    the test."""
    started = []

    def start(screen):
        daemon = Daemon(daemon_home, screen)
        started.append((daemon, screen))
        assert wait_for(lambda: daemon.command("-time"), 30), daemon.text()
        return daemon

    yield start
    for daemon, screen in started:
        daemon.stop()
        screen.stop()


def test_daemon_runs_it_full_screen_over_the_desktop_and_ends_it(daemon_home, run_daemon):
    screen = xscreen.Screen(1024, 768)
    screen.plant_desktop()
    daemon = run_daemon(screen)
    assert daemon.command("-activate"), daemon.text()
    assert wait_for(lambda: hack_processes(daemon_home), 30), daemon.text()

    # Full screen: the box in the middle of the screen, the desktop's colours on the
    # floor around it.
    def scene_shown():
        pixels = screen.grab()
        return (xscreen.colour_share(pixels, RED) > 0.05
                and xscreen.colour_share(pixels, YELLOW) > 0.05
                and xscreen.colour_share(pixels[:100], (0, 0, 0), 10) > 0.5)
    shown = wait_for(scene_shown, 60)
    pixels = screen.grab()
    shot = screen.save(pixels, "daemon_active.png")
    assert shown, f"{shot}\n{daemon.text()}"
    # The desktop as planted has no black: black above the horizon and in the
    # mirror shows the scene, not the desktop, fills the screen.
    assert xscreen.colour_share(pixels, (0, 0, 0), 10) > 0.1, shot

    hacks = hack_processes(daemon_home)
    assert daemon.command("-deactivate"), daemon.text()
    assert wait_for(lambda: not any(Path(f"/proc/{pid}").exists() for pid in hacks), 10), \
        daemon.text()
    screen.save(screen.grab(), "daemon_deactivated.png")


@pytest.fixture
def pictures_that_never_come(daemon_home):
    """Random pictures from a folder instead of the desktop, and the folder's one picture
    a pipe that nothing writes: the daemon's image helper stays at work until it is
    ended, as one reading a stalled network folder does."""
    folder = daemon_home / "pictures"
    folder.mkdir()
    os.mkfifo(folder / "stalled.jpg")
    settings = daemon_home / ".xscreensaver"
    text = settings.read_text()
    for name, value in (("grabDesktopImages", "False"), ("chooseRandomImages", "True")):
        text = re.sub(rf"^{name}:.*$", f"{name}:\t{value}", text, flags=re.MULTILINE)
    settings.write_text(text + f"imageDirectory:\t{folder}\n")
    subprocess.run(["chown", "-R", f"{USER}:", str(folder), str(settings)], check=True)
    return folder


def descendants(pids):
    found = []
    for pid in pids:
        children = xscreen.children_of(pid)
        found += children + descendants(children)
    return found


def daemon_window(pid):
    """The window the daemon gave a hack to draw in."""
    for variable in Path(f"/proc/{pid}/environ").read_bytes().split(b"\0"):
        name, _, value = variable.partition(b"=")
        if name == b"XSCREENSAVER_WINDOW":
            return value.decode()
    return None


def scene_on(pixels):
    """The scene, not the desktop and not the daemon's black: the glass box lights the
    middle and the sky above the floor is black, which the desktop never is."""
    return xscreen.scene_shown(pixels) and xscreen.colour_share(pixels[:40], (0, 0, 0), 10) > 0.5


def test_the_daemon_runs_one_copy_on_each_monitor_and_ends_them_with_their_helpers(
        daemon_home, run_daemon, pictures_that_never_come):
    screen = xscreen.MonitorScreen([(1024, 768), (1280, 1024)])
    screen.plant_desktop()
    desktops = [screen.grab_monitor(index) for index in range(2)]
    daemon = run_daemon(screen)
    assert daemon.command("-activate"), daemon.text()

    def both_shown():
        return all(scene_on(screen.grab_monitor(index)) for index in range(2))
    shown = wait_for(both_shown, 90)
    shots = [screen.save(screen.grab_monitor(index), f"daemon_monitor_{index}.png")
             for index in range(2)]
    assert shown, f"{shots}\n{daemon.text()}"
    for index, shot in enumerate(shots):
        unchanged = (screen.grab_monitor(index) == desktops[index]).all(axis=2).mean()
        assert unchanged < 0.5, f"monitor {index} still shows the desktop: {shot}"

    hacks = hack_processes(daemon_home)
    assert len(hacks) == 2, f"one copy of the hack a monitor expected: {hacks}"
    windows = {daemon_window(pid) for pid in hacks}
    assert len(windows) == 2 and None not in windows, f"each copy in a window of its own: {windows}"
    # The pictures never come: each floor stays without one, and the scene runs on.
    helpers = descendants(hacks)
    assert [len(xscreen.children_of(pid)) for pid in hacks] == [1, 1], \
        f"one image helper a copy expected: {helpers}"
    assert daemon.command("-deactivate"), daemon.text()
    everything = hacks + helpers
    assert wait_for(lambda: not any(Path(f"/proc/{pid}").exists() for pid in everything), 10), \
        f"left running: {[pid for pid in everything if Path(f'/proc/{pid}').exists()]}"
    screen.save(screen.grab(), "daemon_monitors_deactivated.png")
