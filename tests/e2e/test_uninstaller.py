"""The installer's upgrade and the uninstaller under Wine: a newer installer that names
its shortcuts otherwise, run while the settings dialog runs; the quiet uninstall, also
while a preview runs, with a file it cannot remove, with a screen saver chosen since, and
with a link in place of the exchange folder."""

import re
import shutil
import subprocess

from installer_host import (DESKTOP_KEY, PROGRAMS, RENAMED_LINKS, SETTINGS,
                            UNINSTALL_KEY, apps_entries, install, installer, newer_installer,
                            registry_mentions, reg_values, run_saver, tree)
from saver_host import programs_running
from winehost import wait_until

HOST_CAPTION = "Sorvanta host"
PREVIEW_CAPTION = "Preview Window"


def version_of(installed, build_dir, name):
    probe = build_dir / "tests" / "e2e" / "version_probe.exe"
    result = installed.prefix.run([probe, installed.folder_win + "\\" + name], text=True)
    fields = dict(line.split("=", 1) for line in result.stdout.splitlines() if "=" in line)
    return fields.get("FileVersion")


def test_a_newer_installer_upgrades_in_place_over_a_running_settings_dialog_and_uninstalls(
        install, newer_installer, build_dir):
    """The newer version names its shortcuts otherwise: the old ones go with the upgrade,
    and the new uninstaller removes the whole Start-menu folder and its entry."""
    installed = install()
    (installed.folder / "Sorvanta.ini").write_bytes(SETTINGS)
    dialog = installed.prefix.start([installed.folder / "Sorvanta.scr", "/c"],
                                    cwd=installed.folder)
    installed.screen.wait_window("^<Sorvanta>$", timeout=60)
    higher, newer_setup = newer_installer
    # /D names another folder: an upgrade still goes where the installed version is.
    installed.install(newer_setup, r"/D=C:\Elsewhere")
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
    documents = installed.prefix.drive_c() / "documents-of-the-user"
    documents.mkdir()
    (documents / "letter.txt").write_bytes(b"the user's letter")
    link = installed.menu / "Documents"
    link.symlink_to(documents, target_is_directory=True)
    code = installed.uninstall()
    assert (documents / "letter.txt").exists(), "the files behind the link were deleted"
    if link.is_symlink():
        # Wine 8 cannot remove a link to a folder (Windows can): the Start-menu folder
        # stays, and with it the entry and the uninstaller, until the user removes it.
        assert installed.files_left() == sorted([str(link),
                                                 str(installed.folder / "uninstall.exe")])
        assert code != 0, "the uninstall reported success with the folder left"
        assert apps_entries(installed.prefix) == ["Sorvanta"]
        link.unlink()
        code = installed.uninstall()
    assert code == 0
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
