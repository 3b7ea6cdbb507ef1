"""A DLL planted beside the programs never runs. For each DLL that either program uses
and Windows does not always map from System32, a DLL of that name is built whose
DllMain leaves a marker file; it exports every function the programs may ask of that
DLL (exchange/delay_imports/NAME.def), so that a program that loaded it would start.
With Wine told to prefer a DLL found beside the program (WINEDLLOVERRIDES NAME=n,b), a
/s run, a /c run and a /p run behave as usual and no marker appears."""

import subprocess

import pytest

from saver_host import install, start
from winehost import wait_until

# The non-KnownDLLs the programs use: the front end's music (winmm) and button faces
# (msimg32), the renderer's OpenGL, GLU and clock.
PLANTED = ("winmm", "msimg32", "opengl32", "glu32")
DIALOG_TITLE = "^<Sorvanta>$"
DIALOG_CANCEL = (400 + 40, 200 + 12)

PLANTED_SOURCE = r"""
#include <windows.h>

__declspec(dllexport) int plantedStub(void) { return 0; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    HANDLE marker = CreateFileA(MARKER, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (marker != INVALID_HANDLE_VALUE) {
      CloseHandle(marker);
    }
  }
  return TRUE;
}
"""


def exported_names(def_file):
    lines = def_file.read_text().splitlines()
    start_at = lines.index("EXPORTS") + 1
    return [line.strip() for line in lines[start_at:] if line.strip()]


@pytest.fixture(scope="module")
def planted_dlls(source_dir, tmp_path_factory):
    """{name: built DLL}; each leaves C:\\planted-NAME.txt when it is loaded."""
    folder = tmp_path_factory.mktemp("planted")
    source = folder / "planted.c"
    source.write_text(PLANTED_SOURCE)
    built = {}
    for name in PLANTED:
        names = exported_names(source_dir / "exchange" / "delay_imports" / f"{name}.def")
        def_file = folder / f"{name}.def"
        def_file.write_text(f"LIBRARY {name}.dll\nEXPORTS\n" +
                            "".join(f"{n}=plantedStub\n" for n in names))
        dll = folder / f"{name}.dll"
        subprocess.run(["x86_64-w64-mingw32-gcc", "-shared", "-O1", "-s",
                        f'-DMARKER="C:\\\\planted-{name}.txt"', str(source), str(def_file),
                        "-o", str(dll)], check=True)
        built[name] = dll
    return built


@pytest.fixture
def planted(build_dir, make_screen, make_prefix, wintool_for, planted_dlls):
    """Both programs installed side by side with the planted DLLs beside them."""
    screen = make_screen(1024, 768)
    prefix = make_prefix(screen)
    folder = install(build_dir, prefix)
    for dll in planted_dlls.values():
        (folder / dll.name).write_bytes(dll.read_bytes())
    overrides = prefix.env()["WINEDLLOVERRIDES"] + ";" + ",".join(PLANTED) + "=n,b"
    return screen, prefix, folder, wintool_for(prefix), {"WINEDLLOVERRIDES": overrides}


def markers(prefix):
    return sorted(p.name for p in prefix.drive_c().glob("planted-*.txt"))


def run_saver(screen, prefix, folder, wintool, env):
    front = start(prefix, folder, "/s", extra_env=env)
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 20, what="the front end to end")
    assert front.returncode == 0


def run_settings(screen, prefix, folder, wintool, env):
    front = start(prefix, folder, "/c", extra_env=env)
    window = screen.wait_window(DIALOG_TITLE, timeout=60)
    x, y = screen.geometry(window)[:2]
    screen.move_pointer(x + DIALOG_CANCEL[0], y + DIALOG_CANCEL[1])
    screen.xdotool("click", "1")
    wait_until(lambda: front.poll() is not None, 30, what="the program to end with its dialog")
    assert front.returncode == 0


def run_preview(screen, prefix, folder, wintool, env):
    host = prefix.start([wintool.exe, "host", "152", "112"])
    screen.wait_window("^Sorvanta host$", timeout=60)
    handle = wait_until(lambda: wintool.find("Sorvanta host"), 30, what="the host")["hwnd"]
    front = start(prefix, folder, "/p", handle, extra_env=env)
    wait_until(lambda: "Preview Window" in wintool.run("children", str(handle))[1], 30,
               what="the preview in the host")
    assert wintool.close("Sorvanta host"), "WM_CLOSE could not be posted to the host"
    wait_until(lambda: front.poll() is not None, 30, what="the preview to end with its host")
    host.wait(30)


@pytest.mark.parametrize("run", [run_saver, run_settings, run_preview],
                         ids=["saver", "settings", "preview"])
def test_no_planted_dll_runs(planted, run):
    screen, prefix, folder, wintool, env = planted
    run(screen, prefix, folder, wintool, env)
    assert markers(prefix) == [], "a DLL planted beside the programs ran"
