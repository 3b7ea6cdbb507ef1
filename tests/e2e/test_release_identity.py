"""What the two programs tell Windows about themselves, read back under Wine: the
version information against the version in CMakeLists.txt, the manifest's execution
level and DPI awareness, the saver's name string; and how the settings dialog and the
desktop capture behave on a display scaled to 144 pixels per inch."""

import re
import shutil
import subprocess

import numpy as np
import pytest
from PIL import Image

from saver_host import exchange_dir, saver, start  # noqa: F401  (saver is a fixture)
from winehost import wait_until

PROGRAMS = {"Sorvanta.scr": "saver", "Sorvanta.dll": "renderer"}
DIALOG_REGEX = "^<Sorvanta>$"
CREDIT_LINE = "© 2026 Sorvanta authors"  # the dialog's credit line
AS_INVOKER = 1  # ACTIVATION_CONTEXT_RUN_LEVEL_AS_INVOKER


def cmake_version(source):
    text = (source / "CMakeLists.txt").read_text()
    return re.search(r"project\(Sorvanta VERSION (\d+\.\d+\.\d+)", text).group(1)


def set_dpi(prefix, dpi):
    prefix.run(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                "REG_DWORD", "/d", str(dpi), "/f"])
    prefix.stop_server()


@pytest.mark.parametrize("name", PROGRAMS)
def test_version_information_and_manifest_read_back_through_windows(
        name, build_dir, source_dir, make_screen, make_prefix):
    prefix = make_prefix(make_screen(640, 480))
    program = build_dir / PROGRAMS[name] / name
    result = prefix.run([build_dir / "tests" / "e2e" / "version_probe.exe", program], text=True)
    fields = dict(line.split("=", 1) for line in result.stdout.splitlines() if "=" in line)
    version = cmake_version(source_dir)
    assert fields.get("fixed_file_version") == version + ".0", fields
    assert fields.get("fixed_product_version") == version + ".0", fields
    assert fields.get("FileVersion") == fields.get("ProductVersion") == version, fields
    assert fields.get("ProductName") == "Sorvanta" and fields.get("OriginalFilename") == name
    assert fields.get("CompanyName") == "Sorvanta authors"
    assert fields.get("LegalCopyright") == CREDIT_LINE
    assert fields.get("run_level") == str(AS_INVOKER), fields
    assert fields.get("dpiAwareness", "").split(",")[0].strip() == "PerMonitorV2", fields
    assert fields.get("dpiAware") == "true/pm", fields
    if name == "Sorvanta.scr":
        assert fields.get("string1") == "Sorvanta", fields


@pytest.fixture
def shots(build_dir):
    folder = build_dir / "e2e-shots" / "release"
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def dialog_layout(make_screen, make_prefix, build_dir, wintool_for, dpi, shot):
    """The client size and the child windows' rectangles, relative to the client area's
    top-left, of the settings dialog opened by Sorvanta.scr /c at the given dpi."""
    screen = make_screen(1024, 768)
    prefix = make_prefix(screen)
    set_dpi(prefix, dpi)
    folder = prefix.drive_c() / "Sorvanta"
    folder.mkdir()
    for name, room in PROGRAMS.items():
        shutil.copy2(build_dir / room / name, folder)
    prefix.start([folder / "Sorvanta.scr", "/c"], cwd=folder)
    window = screen.wait_window(DIALOG_REGEX, timeout=60)
    x, y, width, height = screen.geometry(window)
    tool = wintool_for(prefix)
    found = wait_until(lambda: tool.find("<Sorvanta>"), 20, what="the dialog's window")
    children = []
    for line in tool.run("children", str(found["hwnd"]))[1].splitlines():
        left, top, right, bottom = map(int, line.split()[1:5])
        children.append((left - x, top - y, right - left, bottom - top))
    screen.screenshot(shot)
    tool.close("<Sorvanta>")
    return (width, height), placed_controls(children)


def placed_controls(windows):
    """The windows the dialog places itself: the panel (the largest) and every control
    not inside another control; the combo box's own edit field is the system's."""
    def inside(inner, outer):
        return (inner != outer and outer[0] <= inner[0] and outer[1] <= inner[1]
                and inner[0] + inner[2] <= outer[0] + outer[2]
                and inner[1] + inner[3] <= outer[1] + outer[3])

    panel = max(windows, key=lambda r: r[2] * r[3])
    return [w for w in windows if not any(inside(w, o) for o in windows if o != panel)]


def test_at_144_dpi_the_dialog_stands_at_one_and_a_half_times_its_places(
        make_screen, make_prefix, build_dir, wintool_for, shots):
    size96, children96 = dialog_layout(make_screen, make_prefix, build_dir, wintool_for, 96,
                                       shots / "dialog-96dpi.png")
    size144, children144 = dialog_layout(make_screen, make_prefix, build_dir, wintool_for, 144,
                                         shots / "dialog-144dpi.png")
    assert size96 == (494, 246)
    assert size144 == (741, 369)
    assert len(children144) == len(children96) >= 5, (children96, children144)
    # Left, top and width of each control; a combo box's height is its font's.
    for at96, at144 in zip(children96, children144):
        for a, b in zip(at96[:3], at144[:3]):
            assert abs(b - a * 1.5) <= 1, f"{at96} at 96 dpi, {at144} at 144 dpi"


def test_at_144_dpi_the_capture_is_still_the_whole_screen(saver, tmp_path):
    screen, prefix, folder, wintool = saver
    set_dpi(prefix, 144)
    rng = np.random.default_rng(144)
    picture = np.kron(rng.integers(0, 256, size=(24, 32, 3), dtype=np.uint8),
                      np.ones((32, 32, 1), dtype=np.uint8))
    Image.fromarray(picture).save(tmp_path / "root.png")
    subprocess.run(["display", "-display", screen.display, "-window", "root",
                    str(tmp_path / "root.png")], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60)
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    data = (exchange_dir(prefix) / "Sorvanta1.tga").read_bytes()
    width, height = data[12] | data[13] << 8, data[14] | data[15] << 8
    assert (width, height) == (1024, 768)
    pixels = np.frombuffer(data[18:], dtype=np.uint8).reshape(height, width, 3)[::-1, :, ::-1]
    assert np.array_equal(pixels, picture), "the capture at 144 dpi differs from the screen"
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 20, what="the front end to end")
