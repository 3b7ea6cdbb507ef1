"""The release installer under Wine: Sorvanta-<version>-win64-setup.exe made by
packaging/make_packages.py from this build, run silently as the user, then the
installed saver and its Start-menu shortcuts, an upgrade by a newer installer that names
its shortcuts otherwise while the settings dialog runs, and the quiet uninstall, also
while a preview runs; run as a user runs it, its pages, their bottom line and the finish
page's check box."""

import re
import shutil
import subprocess

import numpy as np
import pytest
from PIL import Image

from saver_host import programs_running
from winehost import wait_until

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorvanta"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
# The "設定" button, in client pixels at 96 dots per inch.
SET_BUTTON = (316 + 40, 200 + 12)
SETTINGS = "[Section]\r\nBGM区分=0\r\nBGMﾘﾋﾟｰﾄ=7\r\nBGMﾌｧｲﾙ=\r\n".encode("cp932")


HOST_CAPTION = "Sorvanta host"
PREVIEW_CAPTION = "Preview Window"
PROGRAMS = ("Sorvanta.scr", "Sorvanta.dll")
# The English names the newer installer gives its shortcuts, as a later version may.
RENAMED_LINKS = {"SETTINGS_LINK_EN": "Sorvanta Music", "CHOOSE_LINK_EN": "Use Sorvanta"}


def cmake_version(source):
    text = (source / "CMakeLists.txt").read_text()
    return re.search(r"project\(Sorvanta VERSION (\d+\.\d+\.\d+)", text).group(1)


@pytest.fixture(scope="session")
def installers(build_dir, source_dir, tmp_path_factory):
    """The release installer of this build's version and one of the next version, whose
    programs the build made once more with that version (tests/e2e/next-version), made
    by makensis from the same script with the shortcuts named RENAMED_LINKS; by version."""
    out = tmp_path_factory.mktemp("packages")
    version = cmake_version(source_dir)
    subprocess.run(["/usr/bin/python3", str(source_dir / "packaging" / "make_packages.py"),
                    str(build_dir), str(out)], check=True, stdout=subprocess.DEVNULL)
    made = {version: out / f"Sorvanta-{version}-win64-setup.exe"}
    following = build_dir / "tests" / "e2e" / "next-version"
    higher = (following / "packaging" / "version.txt").read_text().strip()
    made[higher] = out / f"Sorvanta-{higher}-win64-setup.exe"
    subprocess.run(["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={higher}",
                    f"-DSCR={following / 'saver' / 'Sorvanta.scr'}",
                    f"-DDLL={following / 'renderer' / 'Sorvanta.dll'}",
                    f"-DOUTFILE={made[higher]}",
                    *(f"-D{name}={text}" for name, text in RENAMED_LINKS.items()),
                    str(source_dir / "packaging" / "installer.nsi")],
                   check=True, stdout=subprocess.DEVNULL)
    assert len(made) == 2 and all(path.is_file() for path in made.values()), made
    return version, made


def newer(installers):
    return next(v for v in installers[1] if v != installers[0])


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
    return record.read_text("utf-8").splitlines() if record.exists() else []


def settle(prefix):
    """Waits until every process of the prefix has ended by itself (and its wineserver)."""
    subprocess.run(["wineserver", "-w"], env=prefix.env(), stderr=subprocess.DEVNULL, timeout=60)


def icon_images(data):
    """The pictures of an .ico file, {(width, height): their bytes}."""
    images = {}
    for i in range(int.from_bytes(data[4:6], "little")):
        entry = data[6 + 16 * i:22 + 16 * i]
        size, offset = (int.from_bytes(entry[at:at + 4], "little") for at in (8, 12))
        images[(entry[0] or 256, entry[1] or 256)] = data[offset:offset + size]
    return images


def first_icon(program):
    """The pictures of a program's first icon group, the one Explorer, shortcuts and Apps &
    features show, read back from its resources with wrestool."""
    listing = subprocess.run(["wrestool", "-l", str(program)], capture_output=True, text=True,
                             check=True).stdout
    # Pictures of one number in two groups (icons from two resource scripts) show the
    # wrong picture at some size.
    pictures = re.findall(r"^--type=3 --name=(\S+)", listing, re.MULTILINE)
    assert len(pictures) == len(set(pictures)), f"{program.name}: icon pictures {pictures}"
    first = next(line for line in listing.splitlines() if line.startswith("--type=14 "))
    name = re.search(r"--name=(\S+)", first).group(1).strip("'")
    icon = subprocess.run(["wrestool", "-x", "--type=14", f"--name={name}", str(program)],
                          capture_output=True, check=True).stdout
    return icon_images(icon)


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
def install(installers, make_screen, make_prefix, build_dir):
    """Installs the given version (this build's by default) into a new prefix, after
    setting the given HKCU\\Control Panel\\Desktop values; chosen is a folder of the user's
    choice, record_starts plants the probe that records what is started as rundll32.exe."""
    def run(version=None, desktop=None, lang="C.UTF-8", chosen=None, record_starts=False):
        screen = make_screen(1024, 768)
        return Installed(screen, make_prefix(screen, lang),
                         installers[1][version or installers[0]], desktop or {}, chosen,
                         build_dir if record_starts else None)

    return run


def shortcut(installed, probe, name):
    result = installed.prefix.run([probe, installed.menu_win + "\\" + name], text=True,
                                  encoding="utf-8")
    assert result.returncode == 0, f"{name} cannot be read as a shortcut"
    return dict(line.split("=", 1) for line in result.stdout.splitlines() if "=" in line)


def short_path(installed, wintool_for, path):
    code, out = wintool_for(installed.prefix).run("shortpath", path)
    assert code == 0, f"no short form of {path}"
    return out.strip()


def test_silent_install_puts_both_programs_in_local_programs_and_registers_them(
        install, installers, build_dir, source_dir, wintool_for):
    installed = install(desktop={"ScreenSaveActive": "0"}, record_starts=True)
    settle(installed.prefix)
    assert started(installed.started) == [], "a silent install opened Screen Saver Settings"
    for name in PROGRAMS:
        assert (installed.folder / name).is_file(), f"{name} not in {installed.folder}"
    program = installed.folder_win + r"\Sorvanta.scr"
    desktop = reg_values(installed.prefix, DESKTOP_KEY)
    # In the short form, as Screen Saver Settings write it (Wine keeps short names).
    assert desktop.get("SCRNSAVE.EXE") == short_path(installed, wintool_for, program)
    assert desktop.get("ScreenSaveActive") == "1", "screen savers were left switched off"
    entry = reg_values(installed.prefix, UNINSTALL_KEY)
    uninstaller = installed.folder_win + r"\uninstall.exe"
    assert entry["DisplayName"] == "Sorvanta"
    assert entry["DisplayVersion"] == installers[0]
    assert entry["Publisher"] == "Sorvanta authors"
    assert entry["DisplayIcon"] == program + ",0"
    assert entry["UninstallString"] == f'"{uninstaller}"'
    assert entry["QuietUninstallString"] == f'"{uninstaller}" /S'
    assert apps_entries(installed.prefix) == ["Sorvanta"]

    probe = build_dir / "tests" / "e2e" / "shortcut_probe.exe"
    assert sorted(p.name for p in installed.menu.iterdir()) == \
        ["Make Sorvanta My Screen Saver.lnk", "Sorvanta Settings.lnk"]
    settings = shortcut(installed, probe, "Sorvanta Settings.lnk")
    assert (settings["target"], settings["arguments"]) == (program, "/c"), settings
    choose = shortcut(installed, probe, "Make Sorvanta My Screen Saver.lnk")
    assert choose["target"].lower() == r"c:\windows\system32\rundll32.exe", choose
    assert choose["arguments"] == "desk.cpl,InstallScreenSaver " + program, choose

    # The program's icon is the first of the installed saver, the uninstaller and the
    # installer, which the shortcuts and the entry's DisplayIcon (",0") show.
    icon = icon_images((source_dir / "saver" / "assets" / "program_icon.ico").read_bytes())
    assert sorted(icon) == [(16, 16), (24, 24), (32, 32), (48, 48), (256, 256)]
    for program_file in (installed.folder / "Sorvanta.scr", installed.folder / "uninstall.exe",
                         installers[1][installers[0]]):
        assert first_icon(program_file) == icon, f"{program_file.name}'s first icon"
    for link in (settings, choose):
        assert (link["icon"], link["icon_index"]) == (program, "0"), link


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


def test_a_folder_with_a_blank_is_registered_short_started_unquoted_and_unregistered(
        install, wintool_for, build_dir):
    wintool = build_dir / "tests" / "e2e" / "wintool.exe"
    installed = install(chosen=(r"C:\My Savers\Sorvanta", wintool))
    program = reg_values(installed.prefix, DESKTOP_KEY)["SCRNSAVE.EXE"]
    assert program == short_path(installed, wintool_for, installed.folder_win + r"\Sorvanta.scr")
    assert " " not in program, program
    # Started as the host starts a saver: the application name given, the path unquoted.
    launcher = installed.prefix.start([wintool_for(installed.prefix).exe, "spawn", program,
                                       program + " /s"])
    window = installed.screen.wait_window("^Sorvanta_VC$", timeout=60)
    installed.screen.key(window, "Escape")
    wait_until(lambda: launcher.poll() is not None, 30, what="the run to end")
    assert launcher.returncode == 0
    assert installed.uninstall() == 0
    assert "SCRNSAVE.EXE" not in reg_values(installed.prefix, DESKTOP_KEY)


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


def test_on_a_japanese_system_the_shortcuts_have_japanese_names_and_go_in_any_language(
        install, build_dir):
    installed = install(lang="ja_JP.UTF-8")
    program = installed.folder_win + r"\Sorvanta.scr"
    probe = build_dir / "tests" / "e2e" / "shortcut_probe.exe"
    assert sorted(p.name for p in installed.menu.iterdir()) == \
        ["Sorvanta の設定.lnk", "Sorvanta をスクリーン セーバーにする.lnk"]
    assert shortcut(installed, probe, "Sorvanta の設定.lnk")["arguments"] == "/c"
    assert shortcut(installed, probe, "Sorvanta をスクリーン セーバーにする.lnk")["arguments"] == \
        "desk.cpl,InstallScreenSaver " + program
    # The user's language has changed since: the uninstaller still finds them.
    installed.prefix.stop_server()
    installed.prefix.lang = "C.UTF-8"
    assert installed.uninstall() == 0
    assert (installed.files_left(), installed.menu.exists()) == ([], False)


def version_of(installed, build_dir, name):
    probe = build_dir / "tests" / "e2e" / "version_probe.exe"
    result = installed.prefix.run([probe, installed.folder_win + "\\" + name], text=True)
    fields = dict(line.split("=", 1) for line in result.stdout.splitlines() if "=" in line)
    return fields.get("FileVersion")


def test_a_newer_installer_upgrades_in_place_over_a_running_settings_dialog_and_uninstalls(
        install, installers, build_dir):
    """The newer version names its shortcuts otherwise: the old ones go with the upgrade,
    and the new uninstaller removes the whole Start-menu folder and its entry."""
    installed = install()
    (installed.folder / "Sorvanta.ini").write_bytes(SETTINGS)
    dialog = installed.prefix.start([installed.folder / "Sorvanta.scr", "/c"],
                                    cwd=installed.folder)
    installed.screen.wait_window("^<Sorvanta>$", timeout=60)
    higher = newer(installers)
    # /D names another folder: an upgrade still goes where the installed version is.
    installed.install(installers[1][higher], r"/D=C:\Elsewhere")
    assert dialog.poll() is not None, "the old settings dialog still runs"
    assert programs_running(installed.prefix, *PROGRAMS) == []
    for name in PROGRAMS:
        assert version_of(installed, build_dir, name) == higher, f"{name} was not replaced"
    assert (installed.folder / "Sorvanta.ini").read_bytes() == SETTINGS
    assert reg_values(installed.prefix, UNINSTALL_KEY)["DisplayVersion"] == higher
    assert apps_entries(installed.prefix) == ["Sorvanta"]
    assert sorted(p.name for p in installed.folder.iterdir()) == \
        ["Sorvanta.dll", "Sorvanta.ini", "Sorvanta.scr", "uninstall.exe"]
    assert not (installed.prefix.drive_c() / "Elsewhere").exists()
    assert sorted(p.name for p in installed.menu.iterdir()) == \
        sorted(f"{name}.lnk" for name in RENAMED_LINKS.values())
    # A folder of the user's linked into the Start-menu folder: what it leads to stays.
    # Wine cannot remove a link to a folder (Windows can), so the Start-menu folder
    # stays, and with it the entry and the uninstaller, until the user removes the link.
    documents = installed.prefix.drive_c() / "documents-of-the-user"
    documents.mkdir()
    (documents / "letter.txt").write_bytes(b"the user's letter")
    link = installed.menu / "Documents"
    link.symlink_to(documents, target_is_directory=True)
    code = installed.uninstall()
    assert (documents / "letter.txt").exists(), "the files behind the link were deleted"
    assert installed.files_left() == sorted([str(link), str(installed.folder / "uninstall.exe")])
    assert code != 0, "the uninstall reported success with the folder left"
    assert apps_entries(installed.prefix) == ["Sorvanta"]
    link.unlink()
    assert installed.uninstall() == 0
    assert (installed.files_left(), installed.menu.exists()) == ([], False)
    assert (reg_values(installed.prefix, UNINSTALL_KEY), apps_entries(installed.prefix)) == \
        ({}, [])
    left = tree(installed.prefix.drive_c()) - installed.before
    assert sorted(left) == ["documents-of-the-user", "documents-of-the-user/letter.txt"]


def nsis_runner_folder(prefix, relative):
    """The empty folder in the user's temp folder from which NSIS ran its uninstaller's
    copy: NSIS cannot remove it while running from it, and leaves it to the system's
    temp clean-up. Its copy of the uninstaller is already gone."""
    path = prefix.drive_c() / relative
    return (re.fullmatch(r"users/[^/]+/Temp/~nsu\w*\.tmp", relative) is not None
            and path.is_dir() and not any(p.is_file() for p in path.rglob("*")))


def test_the_quiet_uninstall_leaves_nothing_of_ours(install, tmp_path):
    installed = install(desktop={"ScreenSaveActive": "0"})
    run_saver(installed, tmp_path)
    (installed.folder / "Sorvanta.ini").write_bytes(SETTINGS)
    command = reg_values(installed.prefix, UNINSTALL_KEY)["QuietUninstallString"]
    program, args = re.fullmatch(r'"([^"]+)" (.*)', command).groups()
    result = installed.prefix.run([program, *args.split()], timeout=120)
    assert result.returncode == 0
    # The uninstaller runs on from a copy of itself, so that it can delete the original.
    wait_until(lambda: not installed.folder.exists(), 60, what="the installed folder removed")
    installed.prefix.stop_server()
    desktop = reg_values(installed.prefix, DESKTOP_KEY)
    assert "SCRNSAVE.EXE" not in desktop
    assert desktop.get("ScreenSaveActive") == "0", "screen savers were left switched on"
    assert reg_values(installed.prefix, UNINSTALL_KEY) == {}
    assert apps_entries(installed.prefix) == []
    left = sorted(tree(installed.prefix.drive_c()) - installed.before)
    assert [p for p in left if not nsis_runner_folder(installed.prefix, p)] == [], \
        f"left in drive_c: {left}"
    assert registry_mentions(installed.prefix) == []


def test_the_uninstaller_keeps_a_screen_saver_chosen_since(install):
    installed = install()
    other = r"C:\windows\system32\other.scr"
    installed.prefix.run(["reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ",
                          "/d", other, "/f"])
    before = reg_values(installed.prefix, DESKTOP_KEY)
    assert installed.uninstall() == 0
    after = reg_values(installed.prefix, DESKTOP_KEY)
    assert installed.files_left() == []
    for name in ("SCRNSAVE.EXE", "ScreenSaveActive"):
        assert after.get(name) == before.get(name), name


def start_preview(installed, wintool):
    """A host window, as Screen Saver Settings has, and the installed saver's preview in
    it: the host's process and the preview's."""
    host = installed.prefix.start([wintool.exe, "host", 152, 112])
    installed.screen.wait_window(f"^{HOST_CAPTION}$", timeout=60)
    window = wait_until(lambda: wintool.find(HOST_CAPTION), 60, interval=0.2, what="the host")
    preview = installed.prefix.start([installed.folder / "Sorvanta.scr", "/p", window["hwnd"]],
                                     cwd=installed.folder)

    def embedded():
        _, out = wintool.run("children", str(window["hwnd"]))
        return PREVIEW_CAPTION in out

    wait_until(embedded, 60, interval=0.2, what="the preview in its host")
    return host, preview


def test_an_uninstall_over_a_running_preview_ends_it_and_leaves_nothing(install, wintool_for):
    installed = install()
    host, preview = start_preview(installed, wintool_for(installed.prefix))
    code = installed.uninstall()
    left = installed.files_left()
    entry = reg_values(installed.prefix, UNINSTALL_KEY)
    # Never files without the entry; and here the preview is ended, so nothing is left.
    assert not left or entry, f"files left without an Apps & features entry: {left}"
    assert (code, left, entry) == (0, [], {})
    assert not installed.folder.exists()
    assert preview.poll() is not None, "the preview still runs"
    assert host.poll() is None, "the host's own program was ended"
    wintool_for(installed.prefix).close(HOST_CAPTION)


def test_an_uninstall_that_cannot_remove_a_file_keeps_its_entry_and_fails(install, wintool_for):
    installed = install()
    (installed.folder / "Sorvanta.ini").write_bytes(SETTINGS)
    holder = subprocess.Popen(["wine", wintool_for(installed.prefix).exe, "hold",
                               installed.folder_win + r"\Sorvanta.ini"],
                              env=installed.prefix.env(), stdout=subprocess.PIPE, text=True)
    assert holder.stdout.readline().strip() == "held"
    assert installed.uninstall() != 0, "the uninstall reported success with a file left"
    # What is left can still be uninstalled: the uninstaller stays with it.
    assert installed.files_left() == [str(installed.folder / name)
                                      for name in ("Sorvanta.ini", "uninstall.exe")]
    assert apps_entries(installed.prefix) == ["Sorvanta"]
    holder.kill()
    holder.wait(30)
    assert installed.uninstall() == 0
    assert (installed.files_left(), apps_entries(installed.prefix)) == ([], [])


def test_a_silent_install_into_a_folder_the_user_cannot_write_fails_and_changes_nothing(
        installers, make_screen, make_prefix):
    prefix = make_prefix(make_screen(640, 480))
    before = tree(prefix.drive_c())
    # Z: is the Unix root: nothing can be made in /proc, not even by root.
    result = prefix.run([installers[1][installers[0]], "/S", r"/D=Z:\proc\Sorvanta"],
                        timeout=180)
    assert result.returncode != 0, "the install reported success"
    assert reg_values(prefix, UNINSTALL_KEY) == {}
    assert "SCRNSAVE.EXE" not in reg_values(prefix, DESKTOP_KEY)
    assert sorted(tree(prefix.drive_c()) - before) == []


class Pages:
    """The installer run as a user runs it: its window, the texts of its controls (the
    page's and the bottom line's) and screenshots of its pages in the test's folder. Its
    caption is "Sorvanta <version> Setup" and a page's subcaption after that."""

    def __init__(self, prefix, wintool, installer, title, folder):
        self.prefix, self.wintool, self.title, self.folder = prefix, wintool, title, folder
        self.process = prefix.start([installer])

    def wait_for(self, text, shot):
        """Waits until a control of the installer's window shows text; photographs it."""
        screen = self.prefix.screen
        # Its window first: a wintool run that starts the prefix's desktop process would
        # leave that process holding wintool's output open.
        self.x_window = screen.wait_window("^" + self.title.replace(".", r"\."), timeout=120)

        def showing():
            window = self.wintool.find(self.caption())
            if window is None:
                return None
            _, out = self.wintool.run("children", str(window["hwnd"]))
            # "hwnd left top right bottom caption" a control
            texts = [(line.split(maxsplit=5) + [""] * 6)[5].strip() for line in out.splitlines()]
            return texts if any(text in t for t in texts) else None

        self.texts = wait_until(showing, 120, interval=0.3, what=f"a page with {text}")
        screen.screenshot(self.folder / f"{shot}.png")

    def caption(self):
        """The window's caption as Wine gives it to X, in UTF-8."""
        out = subprocess.run(["xprop", "-display", self.prefix.screen.display, "-id",
                              self.x_window, "_NET_WM_NAME"], capture_output=True).stdout
        match = re.search(rb'= "(.*)"$', out.strip())
        return match.group(1).decode("utf-8") if match else self.title

    def key(self, *keys):
        self.prefix.screen.key(self.x_window, *keys)

    def finish(self):
        assert self.process.wait(120) == 0, "the installer failed"


def test_an_interactive_install_shows_sorvanta_and_its_finish_page_opens_screen_saver_settings(
        installers, make_screen, make_prefix, build_dir, wintool_for, tmp_path):
    version, made = installers
    prefix = make_prefix(make_screen(1024, 768))
    record = plant_started_probe(prefix, build_dir)
    local = prefix.run(["cmd", "/c", "echo %LOCALAPPDATA%"], text=True).stdout.strip()
    program = local + r"\Programs\Sorvanta\Sorvanta.scr"

    pages = Pages(prefix, wintool_for(prefix), made[version], f"Sorvanta {version} Setup", tmp_path)
    pages.wait_for(f"Welcome to Sorvanta {version} Setup", "en-welcome")
    # The bottom line names the product, not the installer's maker.
    assert f"Sorvanta {version}" in pages.texts, pages.texts
    assert not [t for t in pages.texts if "Nullsoft" in t], pages.texts
    pages.key("Return")
    pages.wait_for("Choose Install Location", "en-directory")
    pages.key("Return")
    pages.wait_for("Open Screen Saver Settings", "en-finish")
    assert "Sorvanta is installed" in pages.texts, pages.texts
    pages.key("Return")  # Finish, with the check box ticked as it starts
    pages.finish()
    line = wait_until(lambda: started(record), 60, what="rundll32.exe to start")[0]
    command, arguments = re.fullmatch(r'"([^"]+)" (.*)', line).groups()
    assert command.lower() == r"c:\windows\system32\rundll32.exe", line
    assert arguments == "desk.cpl,InstallScreenSaver " + program, line

    # Again on a Japanese system, over the installed copy (no folder page), with the box
    # unticked: nothing is started.
    prefix.stop_server()
    prefix.lang = "ja_JP.UTF-8"
    pages = Pages(prefix, wintool_for(prefix), made[version], f"Sorvanta {version} セットアップ",
                  tmp_path)
    pages.wait_for(f"Sorvanta {version} セットアップへようこそ", "ja-welcome")
    pages.key("Return")
    pages.wait_for("スクリーン セーバーの設定を開く", "ja-finish")
    assert "Sorvanta をインストールしました" in pages.texts, pages.texts
    assert f"Sorvanta {version}" in pages.texts, pages.texts
    pages.key("space", "Return")  # the box has the focus: untick it, then Finish
    pages.finish()
    settle(prefix)
    assert started(record) == [line], "the unticked box opened Screen Saver Settings"


def test_the_uninstaller_leaves_the_files_behind_a_linked_exchange_folder(install):
    """Anyone on the PC can put a link in place of C:\\q_lenn; the files it leads to are
    the user's own, not the saver's pictures."""
    installed = install()
    documents = installed.prefix.drive_c() / "documents-of-the-user"
    documents.mkdir()
    originals = {"Sorvanta1.tga": b"the user's letter", "Sorvanta2.tga": b"the user's photo"}
    for name, data in originals.items():
        (documents / name).write_bytes(data)
    exchange = installed.prefix.drive_c() / "q_lenn"
    if exchange.exists():
        shutil.rmtree(exchange)
    exchange.symlink_to(documents, target_is_directory=True)
    assert installed.uninstall() == 0
    assert {p.name: p.read_bytes() for p in documents.iterdir()} == originals
    assert exchange.is_symlink(), "the link in place of the folder was removed"
    assert not (installed.folder / "Sorvanta.scr").exists()
