"""What the installer and uninstaller tests share: the release installer of this build
and a newer one, each made once by a module that asks for it; a prefix with the
installer run silently in it (Installed, the install fixture; it needs the installer
fixture imported beside it); the registry, Apps & features and files an install leaves;
and a run of the installed saver."""

import re
import shutil
import subprocess

import numpy as np
import pytest
from PIL import Image

from winehost import wait_until, whole_lines

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorvanta"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SETTINGS = "[Section]\r\nBGM区分=0\r\nBGMﾘﾋﾟｰﾄ=7\r\nBGMﾌｧｲﾙ=\r\n".encode("cp932")
PROGRAMS = ("Sorvanta.scr", "Sorvanta.dll")
# The English names the newer installer gives its shortcuts, as a later version may.
RENAMED_LINKS = {"SETTINGS_LINK_EN": "Sorvanta Music", "CHOOSE_LINK_EN": "Use Sorvanta"}


def cmake_version(source):
    text = (source / "CMakeLists.txt").read_text()
    return re.search(r"project\(Sorvanta VERSION (\d+\.\d+\.\d+)", text).group(1)


@pytest.fixture(scope="session")
def installer(build_dir, source_dir, tmp_path_factory):
    """The release installer of this build: (its version, its path)."""
    out = tmp_path_factory.mktemp("packages")
    version = cmake_version(source_dir)
    subprocess.run(["/usr/bin/python3", str(source_dir / "packaging" / "make_packages.py"),
                    str(build_dir), str(out)], check=True, stdout=subprocess.DEVNULL)
    path = out / f"Sorvanta-{version}-win64-setup.exe"
    assert path.is_file(), path
    return version, path


@pytest.fixture(scope="session")
def newer_installer(build_dir, source_dir, tmp_path_factory):
    """The installer of the next version, whose programs the build made once more with
    that version (tests/e2e/next-version), made by makensis from the same script with
    the shortcuts named RENAMED_LINKS: (its version, its path)."""
    following = build_dir / "tests" / "e2e" / "next-version"
    version = (following / "packaging" / "version.txt").read_text().strip()
    path = tmp_path_factory.mktemp("newer") / f"Sorvanta-{version}-win64-setup.exe"
    subprocess.run(["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={version}",
                    f"-DSCR={following / 'saver' / 'Sorvanta.scr'}",
                    f"-DDLL={following / 'renderer' / 'Sorvanta.dll'}",
                    f"-DOUTFILE={path}",
                    *(f"-D{name}={text}" for name, text in RENAMED_LINKS.items()),
                    str(source_dir / "packaging" / "installer.nsi")],
                   check=True, stdout=subprocess.DEVNULL)
    assert path.is_file(), path
    return version, path


def reg_values(prefix, key):
    """The values of a registry key as {name: text}; {} when the key is missing."""
    result = prefix.run(["reg", "query", key], text=True, timeout=60)
    values = {}
    for line in result.stdout.splitlines():
        match = re.match(r"^ {4}(.+?) {4}(REG_\w+) {4}(.*)$", line)
        if match:
            values[match.group(1)] = match.group(3)
    return values


# A Unix path as the registry file writes it (Z:\\…, or /…): it names wherever the
# checkout and the build lie, which may be a folder named sorvanta.
REGISTRY_UNIX_PATH = re.compile(r'"(?:[Zz]:\\\\|/)[^"]*"')


def registry_mentions(prefix):
    """The lines of the prefix's user registry that name Sorvanta anywhere but in a Unix
    path: what an install left."""
    text = (prefix.path / "user.reg").read_text("utf-8", "replace")
    return [line for line in text.splitlines()
            if "sorvanta" in REGISTRY_UNIX_PATH.sub('""', line).lower()]


def apps_entries(prefix):
    """What Apps & features lists: the uninstaller's DisplayNames."""
    result = prefix.run(["uninstaller", "--list"], text=True, timeout=60)
    return [line.split("|||")[-1] for line in result.stdout.splitlines() if "|||" in line]


def unix_path(prefix, windows_path):
    assert windows_path[:3].upper() == "C:\\", windows_path
    return prefix.drive_c() / windows_path[3:].replace("\\", "/")


def tree(root):
    return {str(p.relative_to(root)) for p in root.rglob("*")}


def plant_started_probe(prefix, build_dir):
    """Wine's rundll32.exe replaced by started_probe.exe, which records the command line
    of every start: Wine has no desk.cpl, so the test checks what the installer starts,
    not the Screen Saver Settings that would open. Returns the record's path."""
    system = prefix.drive_c() / "windows" / "system32"
    (system / "rundll32.exe").unlink()  # a link to the template's file: not written through
    shutil.copy2(build_dir / "tests" / "e2e" / "started_probe.exe", system / "rundll32.exe")
    prefix.more_overrides = "rundll32.exe=n"
    return system / "rundll32.exe.log"


def started(record):
    """The command lines the planted rundll32.exe was started with."""
    return whole_lines(record)


def settle(prefix):
    """Waits until every process of the prefix has ended by itself (and its wineserver)."""
    subprocess.run(["wineserver", "-w"], env=prefix.env(), stderr=subprocess.DEVNULL, timeout=60)


class Installed:
    """One prefix on a 1024 x 768 screen with the installer run silently in it; with
    started_probe, what the install starts as rundll32.exe is recorded in self.started."""

    def __init__(self, screen, prefix, installer, desktop, chosen=None, started_probe=None):
        self.screen, self.prefix = screen, prefix
        self.started = plant_started_probe(prefix, started_probe) if started_probe else None
        local = prefix.run(["cmd", "/c", "echo %LOCALAPPDATA%"], text=True).stdout.strip()
        self.chosen = chosen  # (folder, wintool): a folder of the user's choice
        self.folder_win = chosen[0] if chosen else local + r"\Programs\Sorvanta"
        self.folder = unix_path(prefix, self.folder_win)
        appdata = prefix.run(["cmd", "/c", "echo %APPDATA%"], text=True).stdout.strip()
        self.menu_win = appdata + r"\Microsoft\Windows\Start Menu\Programs\Sorvanta"
        self.menu = unix_path(prefix, self.menu_win)
        for name, value in desktop.items():
            prefix.run(["reg", "add", DESKTOP_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f"])
        self.before = tree(prefix.drive_c())
        self.install(installer)

    def install(self, installer, *args):
        if self.chosen:
            # /D= comes last and unquoted, blanks and all: wine would quote the argument,
            # so the installer is started with that exact command line (wintool spawn).
            setup = shutil.copy2(installer, self.prefix.drive_c() / "setup.exe")
            command = " ".join([r"C:\setup.exe", "/S", *args, f"/D={self.folder_win}"])
            result = self.prefix.run([self.chosen[1], "spawn", r"C:\setup.exe", command],
                                     timeout=180)
            setup.unlink()
        else:
            result = self.prefix.run([installer, "/S", *args], timeout=180)
        assert result.returncode == 0, result.stderr
        wait_until(lambda: (self.folder / "uninstall.exe").exists(), 30, what="the installed files")

    def start(self, *args):
        """The saver the SCRNSAVE.EXE value names, started as the host starts it."""
        program = reg_values(self.prefix, DESKTOP_KEY)["SCRNSAVE.EXE"]
        return self.prefix.start([program, *args], cwd=self.prefix.drive_c())

    def uninstall(self):
        """The uninstaller run silently as NSIS runs it, from a copy of itself outside the
        folder (so it can delete the original), but waited for: its exit code."""
        runner = self.prefix.drive_c() / "uninstall-runner"
        runner.mkdir()
        shutil.copy2(self.folder / "uninstall.exe", runner / "Un.exe")
        # Not run with its output captured: a Wine process it brings up (the desktop's)
        # would keep that pipe open after it has ended.
        if self.chosen:  # as /D=: unquoted, blanks and all
            program = r"C:\uninstall-runner\Un.exe"
            uninstaller = self.prefix.start([self.chosen[1], "spawn", program,
                                             f"{program} /S _?={self.folder_win}"])
        else:
            uninstaller = self.prefix.start([runner / "Un.exe", "/S", f"_?={self.folder_win}"])
        code = uninstaller.wait(180)
        shutil.rmtree(runner)
        return code

    def files_left(self):
        """The files of the install still there: programs, settings, uninstaller,
        shortcuts and the exchange images."""
        places = (self.folder, self.menu, self.prefix.drive_c() / "q_lenn")
        return sorted(str(p) for place in places if place.exists() for p in place.iterdir())


@pytest.fixture
def install(installer, make_screen, make_prefix, build_dir):
    """Installs this build's release into a new prefix, after setting the given
    HKCU\\Control Panel\\Desktop values; chosen is a folder of the user's choice,
    record_starts plants the probe that records what is started as rundll32.exe."""
    def run(desktop=None, lang="C.UTF-8", chosen=None, record_starts=False):
        screen = make_screen(1024, 768)
        return Installed(screen, make_prefix(screen, lang), installer[1], desktop or {}, chosen,
                         build_dir if record_starts else None)

    return run


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
