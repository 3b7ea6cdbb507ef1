"""The release installer under Wine: Sorvanta-<version>-win64-setup.exe made by
packaging/make_packages.py from this build, run silently as the user, then the
installed saver, an upgrade by a newer installer, and the quiet uninstall."""

import re
import subprocess

import numpy as np
import pytest
from PIL import Image

from winehost import wait_until

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorvanta"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
# The "設定" button, in client pixels at 96 dots per inch.
SET_BUTTON = (316 + 40, 200 + 12)
SETTINGS = "[Section]\r\nBGM区分=0\r\nBGMﾘﾋﾟｰﾄ=7\r\nBGMﾌｧｲﾙ=\r\n".encode("cp932")


def cmake_version(source):
    text = (source / "CMakeLists.txt").read_text()
    return re.search(r"project\(Sorvanta VERSION (\d+\.\d+\.\d+)", text).group(1)


def newer(version):
    major, minor, patch = map(int, version.split("."))
    return f"{major}.{minor}.{patch + 1}"


@pytest.fixture(scope="session")
def installers(build_dir, source_dir, tmp_path_factory):
    """The installer of this build's version and one of a higher version, by version."""
    out = tmp_path_factory.mktemp("packages")
    version = cmake_version(source_dir)
    made = {}
    for v in (version, newer(version)):
        subprocess.run(["/usr/bin/python3", str(source_dir / "packaging" / "make_packages.py"),
                        str(build_dir), str(out), "--version", v], check=True,
                       stdout=subprocess.DEVNULL)
        made[v] = out / f"Sorvanta-{v}-win64-setup.exe"
    return version, made


def reg_values(prefix, key):
    """The values of a registry key as {name: text}; {} when the key is missing."""
    result = prefix.run(["reg", "query", key], text=True, timeout=60)
    values = {}
    for line in result.stdout.splitlines():
        match = re.match(r"^ {4}(.+?) {4}(REG_\w+) {4}(.*)$", line)
        if match:
            values[match.group(1)] = match.group(3)
    return values


def apps_entries(prefix):
    """What Apps & features lists: the uninstaller's DisplayNames."""
    result = prefix.run(["uninstaller", "--list"], text=True, timeout=60)
    return [line.split("|||")[-1] for line in result.stdout.splitlines() if "|||" in line]


def unix_path(prefix, windows_path):
    assert windows_path[:3].upper() == "C:\\", windows_path
    return prefix.drive_c() / windows_path[3:].replace("\\", "/")


def tree(root):
    return {str(p.relative_to(root)) for p in root.rglob("*")}


class Installed:
    """One prefix on a 1024 x 768 screen with the installer run silently in it."""

    def __init__(self, screen, prefix, installer):
        self.screen, self.prefix = screen, prefix
        local = prefix.run(["cmd", "/c", "echo %LOCALAPPDATA%"], text=True).stdout.strip()
        self.folder_win = local + r"\Programs\Sorvanta"
        self.folder = unix_path(prefix, self.folder_win)
        self.before = tree(prefix.drive_c())
        self.install(installer)

    def install(self, installer):
        result = self.prefix.run([installer, "/S"], timeout=180)
        assert result.returncode == 0, result.stderr
        wait_until(lambda: (self.folder / "uninstall.exe").exists(), 30, what="the installed files")

    def start(self, *args):
        """The saver the SCRNSAVE.EXE value names, started as the host starts it."""
        program = reg_values(self.prefix, DESKTOP_KEY)["SCRNSAVE.EXE"]
        return self.prefix.start([program, *args], cwd=self.prefix.drive_c())


@pytest.fixture
def install(installers, make_screen, make_prefix):
    def run(version=None):
        screen = make_screen(1024, 768)
        return Installed(screen, make_prefix(screen), installers[1][version or installers[0]])

    return run


def test_silent_install_puts_both_programs_in_local_programs_and_registers_them(install,
                                                                                installers):
    installed = install()
    for name in ("Sorvanta.scr", "Sorvanta.dll"):
        assert (installed.folder / name).is_file(), f"{name} not in {installed.folder}"
    program = installed.folder_win + r"\Sorvanta.scr"
    assert reg_values(installed.prefix, DESKTOP_KEY).get("SCRNSAVE.EXE") == program
    entry = reg_values(installed.prefix, UNINSTALL_KEY)
    uninstaller = installed.folder_win + r"\uninstall.exe"
    assert entry["DisplayName"] == "Sorvanta"
    assert entry["DisplayVersion"] == installers[0]
    assert entry["Publisher"] == "Sorvanta authors"
    assert entry["DisplayIcon"] == program + ",0"
    assert entry["UninstallString"] == f'"{uninstaller}"'
    assert entry["QuietUninstallString"] == f'"{uninstaller}" /S'
    assert apps_entries(installed.prefix) == ["Sorvanta"]


def known_picture():
    rng = np.random.default_rng(13)
    blocks = rng.integers(0, 256, size=(24, 32, 3), dtype=np.uint8)
    return np.kron(blocks, np.ones((32, 32, 1), dtype=np.uint8))


def desktop_image(path):
    data = path.read_bytes()
    width, height = data[12] | data[13] << 8, data[14] | data[15] << 8
    return np.frombuffer(data[18:], dtype=np.uint8).reshape(height, width, 3)[::-1, :, ::-1]


def run_saver(installed, tmp_path):
    """A /s run of the installed saver over a known desktop, ended with Escape."""
    picture = known_picture()
    Image.fromarray(picture).save(tmp_path / "root.png")
    subprocess.run(["display", "-display", installed.screen.display, "-window", "root",
                    str(tmp_path / "root.png")], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60)
    front = installed.start("/s")
    window = installed.screen.wait_window("^Sorvanta_VC$", timeout=60)
    exchange = installed.prefix.drive_c() / "q_lenn"
    assert np.array_equal(desktop_image(exchange / "Sorvanta1.tga"), picture), \
        "the installed saver's capture differs from the screen"
    assert (exchange / "Sorvanta2.tga").stat().st_size == 18 + 256 * 256 * 3
    installed.screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 20, what="the front end to end")
    installed.screen.wait_no_window("^Sorvanta_VC$", timeout=20)
    assert front.returncode == 0


def test_the_installed_saver_runs_end_to_end(install, tmp_path):
    run_saver(install(), tmp_path)


def test_the_installed_settings_dialog_saves_into_the_installed_folder(install):
    installed = install()
    dialog = installed.start("/c")
    window = installed.screen.wait_window("^<Sorvanta>$", timeout=60)
    x, y = installed.screen.geometry(window)[:2]
    installed.screen.xdotool("mousemove", "--sync", str(x + SET_BUTTON[0]), str(y + SET_BUTTON[1]))
    installed.screen.xdotool("click", "1")
    wait_until(lambda: dialog.poll() is not None, 30, what="the dialog to close on 設定")
    saved = (installed.folder / "Sorvanta.ini").read_bytes().decode("cp932")
    assert "BGM区分=" in saved and "BGMﾘﾋﾟｰﾄ=" in saved, saved


def test_a_newer_installer_upgrades_in_place_keeping_the_settings(install, installers):
    installed = install()
    (installed.folder / "Sorvanta.ini").write_bytes(SETTINGS)
    higher = newer(installers[0])
    installed.install(installers[1][higher])
    assert (installed.folder / "Sorvanta.ini").read_bytes() == SETTINGS
    assert reg_values(installed.prefix, UNINSTALL_KEY)["DisplayVersion"] == higher
    assert apps_entries(installed.prefix) == ["Sorvanta"]
    assert sorted(p.name for p in installed.folder.iterdir()) == \
        ["Sorvanta.dll", "Sorvanta.ini", "Sorvanta.scr", "uninstall.exe"]


def nsis_runner_folder(prefix, relative):
    """The empty folder in the user's temp folder from which NSIS ran its uninstaller's
    copy: NSIS cannot remove it while running from it, and leaves it to the system's
    temp clean-up. Its copy of the uninstaller is already gone."""
    path = prefix.drive_c() / relative
    return (re.fullmatch(r"users/[^/]+/Temp/~nsu\w*\.tmp", relative) is not None
            and path.is_dir() and not any(p.is_file() for p in path.rglob("*")))


def test_the_quiet_uninstall_leaves_nothing_of_ours(install, tmp_path):
    installed = install()
    run_saver(installed, tmp_path)
    (installed.folder / "Sorvanta.ini").write_bytes(SETTINGS)
    command = reg_values(installed.prefix, UNINSTALL_KEY)["QuietUninstallString"]
    program, args = re.fullmatch(r'"([^"]+)" (.*)', command).groups()
    result = installed.prefix.run([program, *args.split()], timeout=120)
    assert result.returncode == 0
    # The uninstaller runs on from a copy of itself, so that it can delete the original.
    wait_until(lambda: not installed.folder.exists(), 60, what="the installed folder removed")
    installed.prefix.stop_server()
    assert "SCRNSAVE.EXE" not in reg_values(installed.prefix, DESKTOP_KEY)
    assert reg_values(installed.prefix, UNINSTALL_KEY) == {}
    assert apps_entries(installed.prefix) == []
    left = sorted(tree(installed.prefix.drive_c()) - installed.before)
    assert [p for p in left if not nsis_runner_folder(installed.prefix, p)] == [], \
        f"left in drive_c: {left}"
    registry = (installed.prefix.path / "user.reg").read_text("utf-8", "replace")
    assert "sorvanta" not in registry.lower(), \
        [line for line in registry.splitlines() if "sorvanta" in line.lower()]


def test_the_uninstaller_keeps_a_screen_saver_chosen_since(install):
    installed = install()
    other = r"C:\windows\system32\other.scr"
    installed.prefix.run(["reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ",
                          "/d", other, "/f"])
    installed.prefix.run([installed.folder / "uninstall.exe", "/S"], timeout=120)
    wait_until(lambda: not installed.folder.exists(), 60, what="the installed folder removed")
    assert reg_values(installed.prefix, DESKTOP_KEY).get("SCRNSAVE.EXE") == other
