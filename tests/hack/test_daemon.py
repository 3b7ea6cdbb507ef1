"""The hack run by the real XScreenSaver daemon, from the files of the Debian package
unpacked into a folder of their own. XScreenSaver refuses to run hacks as root, so the
daemon runs as an unprivileged user made for the test, whose ~/.xscreensaver got
Sorvanta from the package's sorvanta-enable."""

import os
import pwd
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
    assert len(found) == 1, f"one package expected in {folder}: run the package_deb_make test"
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


def hack_processes(uid):
    found = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if entry.stat().st_uid == uid and (entry / "comm").read_text().strip() == "sorvanta":
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


def test_daemon_runs_it_full_screen_over_the_desktop_and_ends_it(saver_user, daemon_home):
    screen = xscreen.Screen(1024, 768)
    daemon = None
    log = daemon_home / "daemon.log"
    try:
        screen.plant_desktop()
        with open(log, "w") as output:
            daemon = subprocess.Popen(as_user(daemon_home, screen, "xscreensaver", "--no-splash",
                                              "--verbose"), stdout=output, stderr=output)

        def command(*arguments):
            return subprocess.run(as_user(daemon_home, screen, "xscreensaver-command", *arguments),
                                  capture_output=True, text=True, timeout=30).returncode == 0

        assert wait_for(lambda: command("-time"), 30), log.read_text()
        assert command("-activate"), log.read_text()
        assert wait_for(lambda: hack_processes(saver_user.pw_uid), 30), log.read_text()

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
        assert shown, f"{shot}\n{log.read_text()}"
        # The desktop as planted has no black: black above the horizon and in the
        # mirror shows the scene, not the desktop, fills the screen.
        assert xscreen.colour_share(pixels, (0, 0, 0), 10) > 0.1, shot

        hacks = hack_processes(saver_user.pw_uid)
        packaged = daemon_home / "root/usr/libexec/xscreensaver/sorvanta"
        assert all(Path(f"/proc/{pid}/exe").resolve() == packaged for pid in hacks), hacks
        assert command("-deactivate"), log.read_text()
        assert wait_for(lambda: not any(Path(f"/proc/{pid}").exists() for pid in hacks), 10), \
            log.read_text()
        screen.save(screen.grab(), "daemon_deactivated.png")
    finally:
        if daemon is not None:
            subprocess.run(as_user(daemon_home, screen, "xscreensaver-command", "-exit"),
                           capture_output=True, timeout=30)
            try:
                daemon.wait(10)
            except subprocess.TimeoutExpired:
                daemon.kill()
                daemon.wait()
        screen.stop()
