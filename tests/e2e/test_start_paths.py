"""The front end started as Windows starts a saver, from a folder with a blank in its
name: with the application name given and the program's path unquoted at the start of
the command line, blanks and all, or in its short (8.3) form, as Screen Saver Settings
store it. The run, the preview and the settings dialog each come up."""

import shutil

import pytest

from winehost import wait_until

FOLDER = r"C:\My Savers\Sorvanta"
HOST_CAPTION = "Sorvanta host"
PREVIEW_CAPTION = "Preview Window"


def install_with_a_blank(build_dir, prefix):
    """Both programs in C:\\My Savers\\Sorvanta; returns the front end's Windows path."""
    folder = prefix.drive_c() / "My Savers" / "Sorvanta"
    folder.mkdir(parents=True)
    for program in (build_dir / "saver" / "Sorvanta.scr", build_dir / "renderer" / "Sorvanta.dll"):
        shutil.copy2(program, folder / program.name)
    return FOLDER + r"\Sorvanta.scr"


def short_path(wintool, path):
    code, out = wintool.run("shortpath", path)
    assert code == 0, f"no short form of {path}"
    return out.strip()


class Host:
    """The screen-saver host's part: it starts the program with the application name
    and the command line "PATH ARGS", PATH not quoted (wintool spawn)."""

    def __init__(self, screen, prefix, wintool, program):
        self.screen, self.prefix, self.wintool, self.program = screen, prefix, wintool, program

    def start(self, *args):
        command = " ".join([self.program, *args])
        return self.prefix.start([self.wintool.exe, "spawn", self.program, command])

    def run_the_saver(self):
        launcher = self.start("/s")
        window = self.screen.wait_window("^Sorvanta_VC$", timeout=60)
        assert self.wintool.find("Sorvanta_Main") is not None, "no run form"
        self.screen.key(window, "Escape")
        wait_until(lambda: launcher.poll() is not None, 30, what="the run to end")
        assert launcher.returncode == 0

    def show_the_settings(self):
        launcher = self.start("/c")
        self.screen.wait_window("^<Sorvanta>$", timeout=60)
        assert self.wintool.close("<Sorvanta>")
        wait_until(lambda: launcher.poll() is not None, 30, what="the dialog to end")

    def preview_into_a_window(self):
        window = self.prefix.start([self.wintool.exe, "host", "152", "112"])
        self.screen.wait_window(f"^{HOST_CAPTION}$", timeout=60)
        handle = wait_until(lambda: self.wintool.find(HOST_CAPTION), 30, what="the host")["hwnd"]
        launcher = self.start("/p", str(handle))

        def preview_embedded():
            _, out = self.wintool.run("children", str(handle))
            return PREVIEW_CAPTION in out

        wait_until(preview_embedded, 60, interval=0.2, what="the preview in the host's window")
        assert self.wintool.close(HOST_CAPTION)
        wait_until(lambda: launcher.poll() is not None, 30, what="the preview to end")
        window.wait(30)


@pytest.mark.parametrize("form", ["unquoted long path", "short path"])
def test_run_preview_and_settings_start_from_a_folder_with_a_blank(
        form, build_dir, make_screen, make_prefix, wintool_for):
    screen = make_screen(1024, 768)
    prefix = make_prefix(screen)
    wintool = wintool_for(prefix)
    program = install_with_a_blank(build_dir, prefix)
    if form == "short path":
        program = short_path(wintool, program)
        assert " " not in program, program
    host = Host(screen, prefix, wintool, program)
    host.run_the_saver()
    host.show_the_settings()
    host.preview_into_a_window()
