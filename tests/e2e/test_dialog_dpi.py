"""The settings dialog moved onto a monitor of another scale, under Wine on Xvfb. Wine
never sends WM_DPICHANGED itself, so dpi_probe plays the system's part: it writes the
suggested rectangle into the dialog's process and sends the message. Where everything
should then stand is shown by a dialog opened on a screen of 144 dots per inch, in a
prefix of its own."""

import numpy as np
import pytest
from PIL import Image

from test_dialog import REPEAT_ID, SCREEN, SET_BUTTON, Dialog, focused
from winehost import wait_until

CAPTION = "<Sorvanta>"


def set_dpi(prefix, dpi):
    prefix.run(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                "REG_DWORD", "/d", str(dpi), "/f"])
    prefix.stop_server()


class Probe:
    """dpi_probe inside one prefix."""

    def __init__(self, prefix, build_dir):
        self.prefix = prefix
        self.exe = build_dir / "tests" / "e2e" / "dpi_probe.exe"

    def run(self, *args):
        result = self.prefix.run([self.exe, *args], timeout=60, encoding="utf-8")
        assert result.returncode == 0, f"dpi_probe {args}: {result.returncode} {result.stderr}"
        return result.stdout

    def send(self, dpi, rect):
        self.run("send", CAPTION, str(dpi), *map(str, rect))

    def places(self):
        """The window's outer rectangle, its client area's screen origin and size, and
        {(id, class): (x, y, width, height)} of the windows the dialog places, relative to
        the client area. The combo box's own edit field is the system's: its width follows
        the screen's drop-down arrow, not the dialog."""
        lines = [line.split() for line in self.run("places", CAPTION).splitlines()]
        window = tuple(map(int, lines[0][1:5]))
        client = tuple(map(int, lines[1][1:5]))
        controls = {(int(f[0]), f[1]): tuple(map(int, f[2:6])) for f in lines[2:]
                    if f[1] != "Edit"}
        return window, client, controls


def assert_near(found, expected, what):
    assert found.keys() == expected.keys(), f"{what}: controls {found.keys()}"
    for key, place in expected.items():
        assert np.abs(np.subtract(found[key], place)).max() <= 1, \
            f"{what}: control {key} at {found[key]}, expected {place}"


def client_pixels(screen, client, path):
    screen.screenshot(path)
    x, y, width, height = client
    return np.asarray(Image.open(path).convert("RGB")).astype(int)[y:y + height, x:x + width]


def differing_outside(pixels, expected, box):
    """How many pixels differ from the expected picture outside box (x, y, w, h)."""
    if pixels.shape != expected.shape:
        return pixels.size
    differs = np.abs(pixels - expected).max(axis=2) > 8
    x, y, width, height = box
    differs[y:y + height, x:x + width] = False
    return int(differs.sum())


@pytest.fixture
def shots(build_dir):
    folder = build_dir / "e2e-shots" / "dialog-dpi"
    folder.mkdir(parents=True, exist_ok=True)
    return folder


@pytest.fixture
def screen(make_screen):
    screen = make_screen(*SCREEN)
    screen.xdotool("mousemove", "0", "0")  # away from every button: no hover look
    return screen


def open_at(screen, make_prefix, build_dir, dpi):
    prefix = make_prefix(screen)
    set_dpi(prefix, dpi)
    dialog = Dialog(screen, prefix, build_dir)
    return dialog, Probe(prefix, build_dir)


def painted(screen, probe, path):
    """The places and the client area's pixels once the background is painted."""
    def shot():
        places = probe.places()
        pixels = client_pixels(screen, places[1], path)
        return (places, pixels) if pixels[pixels.shape[0] // 2, 2].sum() > 400 else None

    return wait_until(shot, 20, what="the dialog painted")


def save(dialog):
    """Presses 設定 at its place at 96 dpi and returns what the dialog left in memory."""
    dialog.click(SET_BUTTON)
    return dialog.wait_closed("設定")


def test_a_change_of_scale_puts_everything_where_a_dialog_opened_at_that_scale_has_it(
        screen, make_prefix, build_dir, wintool_for, shots):
    opened, probe144 = open_at(screen, make_prefix, build_dir, 144)
    (window144, client144, controls144), pixels144 = painted(screen, probe144,
                                                            shots / "opened-at-144.png")
    wintool_for(opened.prefix).close(CAPTION)
    opened.wait_closed("WM_CLOSE")

    dialog, probe = open_at(screen, make_prefix, build_dir, 96)
    (window96, client96, controls96), pixels96 = painted(screen, probe, shots / "1-at-96.png")
    assert client96[2:] == (494, 246)

    probe.send(144, window144)
    window, client, controls = probe.places()
    assert window[:2] == window144[:2], f"not at the suggested place: {window}, {window144}"
    assert np.abs(np.subtract(client[2:], client144[2:])).max() <= 1, (client, client144)
    assert_near(controls, controls144, "after the change to 144")
    # Fonts, pictures, button faces and captions as at 144; only the combo's drop-down
    # arrow keeps the width of the screen's scale.
    combo = next(place for (id_, _), place in controls144.items() if id_ == REPEAT_ID)
    wait_until(lambda: differing_outside(client_pixels(screen, client, shots / "2-at-144.png"),
                                         pixels144, combo) == 0,
               10, what="the dialog to look as one opened at 144 dpi")

    probe.send(96, window96)
    window, client, controls = probe.places()
    assert (window, client[2:]) == (window96, client96[2:])
    assert_near(controls, controls96, "after the change back to 96")
    wait_until(lambda: differing_outside(client_pixels(screen, client, shots / "3-back-at-96.png"),
                                         pixels96, (0, 0, 0, 0)) == 0,
               10, what="the dialog to look as it did at 96 dpi")
    save(dialog)


def test_the_choice_the_typed_text_and_the_focus_stay_through_changes_of_scale(
        screen, make_prefix, build_dir, wintool_for, tmp_path):
    dialog, probe = open_at(screen, make_prefix, build_dir, 96)
    tool = wintool_for(dialog.prefix)
    before = probe.places()
    # The same scale again changes nothing, wherever the suggestion would put the window.
    probe.send(96, (0, 0, 300, 200))
    assert probe.places() == before

    dialog.choose_kind(1, tmp_path / "shot.png")
    dialog.set_repeat("7")
    assert focused(tool) == REPEAT_ID
    left, top = before[0][:2]
    probe.send(144, (left, top, left + 760, top + 400))
    assert probe.places()[1][2:] == (741, 369)
    assert focused(tool) == REPEAT_ID, "the focus moved at the change to 144"
    probe.send(96, before[0])
    assert probe.places() == before
    assert focused(tool) == REPEAT_ID, "the focus moved at the change back to 96"
    log = save(dialog)
    assert log["BgmKind"] == "1" and log["BgmRepeat"] == "7", log
