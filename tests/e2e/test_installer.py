"""The release installer under Wine: Sorvanta-<version>-win64-setup.exe made by
packaging/make_packages.py from this build, run silently as the user, then the installed
saver, its settings dialog and its Start-menu shortcuts in either language, a folder of
the user's choice with a blank, a folder the user cannot write; and run as a user runs
it, its pages, their bottom line and the finish page's check box. The upgrade and the
uninstaller are in test_uninstaller.py."""

import re
import subprocess

from installer_host import (DESKTOP_KEY, PROGRAMS, UNINSTALL_KEY, apps_entries,
                            install, installer, plant_started_probe, reg_values, run_saver,
                            settle, started, tree)
from winehost import wait_until

# The "設定" button, in client pixels at 96 dots per inch.
SET_BUTTON = (316 + 40, 200 + 12)


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
        install, installer, build_dir, source_dir, wintool_for):
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
    assert entry["DisplayVersion"] == installer[0]
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
                         installer[1]):
        assert first_icon(program_file) == icon, f"{program_file.name}'s first icon"
    for link in (settings, choose):
        assert (link["icon"], link["icon_index"]) == (program, "0"), link


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
    installed.screen.move_pointer(x + SET_BUTTON[0], y + SET_BUTTON[1])
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


def test_a_silent_install_into_a_folder_the_user_cannot_write_fails_and_changes_nothing(
        installer, make_screen, make_prefix):
    prefix = make_prefix(make_screen(640, 480))
    before = tree(prefix.drive_c())
    # Z: is the Unix root: nothing can be made in /proc, not even by root.
    result = prefix.run([installer[1], "/S", r"/D=Z:\proc\Sorvanta"],
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
        installer, make_screen, make_prefix, build_dir, wintool_for, tmp_path):
    version, setup = installer
    prefix = make_prefix(make_screen(1024, 768))
    record = plant_started_probe(prefix, build_dir)
    local = prefix.run(["cmd", "/c", "echo %LOCALAPPDATA%"], text=True).stdout.strip()
    program = local + r"\Programs\Sorvanta\Sorvanta.scr"

    pages = Pages(prefix, wintool_for(prefix), setup, f"Sorvanta {version} Setup", tmp_path)
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
    pages = Pages(prefix, wintool_for(prefix), setup, f"Sorvanta {version} セットアップ",
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
