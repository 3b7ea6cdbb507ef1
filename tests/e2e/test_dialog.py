"""The settings dialog "<Sorvanta>" under Wine on Xvfb, driven as a user would: the
dialog_probe program shows it with the settings of the Sorvanta.ini beside it and, once
it has closed, writes the values it left in memory to dialog_probe.log."""

import shutil
import subprocess

import numpy as np
import pytest
from PIL import Image

from winehost import wait_until, whole_lines

TITLE_REGEX = "^<Sorvanta>$"
CHOOSER_REGEX = "^ﾌｧｲﾙを開く$"
SCREEN = (1024, 768)
CLIENT = (494, 246)

# Client-area pixels at 96 dots per inch: the panel's inside starts at (14, 18).
PANEL = (14, 18)
KIND_LABELS = {0: (PANEL[0] + 44 + 10, PANEL[1] + 76 + 6), 1: (PANEL[0] + 44 + 20, PANEL[1] + 56 + 6),
               2: (PANEL[0] + 44 + 25, PANEL[1] + 96 + 6)}
KIND_MARKS = {0: (28, 76), 1: (28, 56), 2: (28, 96)}  # top-left of each 12 x 12 mark
REPEAT_COMBO = (PANEL[0] + 112 + 14, PANEL[1] + 52 + 10)
FILE_BUTTON = (PANEL[0] + 112 + 20, PANEL[1] + 92 + 10)
SET_BUTTON = (316 + 40, 200 + 12)
CANCEL_BUTTON = (400 + 40, 200 + 12)

LINK_LABEL = (12 + 40, 208 + 6)
WEB_ADDRESS = "https://sorvanta.github.io/"
# Control identifiers of the repeat combo and the three buttons.
REPEAT_ID, FILE_ID, SET_ID, CANCEL_ID = 101, 102, 103, 104

MUSIC_FOLDER = "C:\\music"
SONG = MUSIC_FOLDER + "\\song.mp3"


def ini_text(kind, repeat, music_file):
    return f"[Section]\r\nBGM区分={kind}\r\nBGMﾘﾋﾟｰﾄ={repeat}\r\nBGMﾌｧｲﾙ={music_file}\r\n"


def key_lines(data):
    """The key lines of the settings file, decoded from Shift-JIS."""
    return [line for line in data.decode("cp932").splitlines() if "=" in line]


def mark(pixels, kind):
    x, y = KIND_MARKS[kind]
    return pixels[PANEL[1] + y:PANEL[1] + y + 12, PANEL[0] + x:PANEL[0] + x + 12].astype(int)


def chosen_marks(pixels):
    """The kinds whose mark differs from both others (the chosen one, if any)."""
    marks = [mark(pixels, k) for k in range(3)]
    return [k for k in range(3)
            if all(not np.array_equal(marks[k], marks[o]) for o in range(3) if o != k)]


class Dialog:
    """One run of dialog_probe in its own folder of a fresh prefix."""

    def __init__(self, screen, prefix, build_dir, kind=2, repeat=3, music_file=SONG):
        self.screen, self.prefix = screen, prefix
        music = prefix.drive_c() / "music"
        music.mkdir(parents=True, exist_ok=True)
        for name in ("song.mp3", "other.wav"):
            (music / name).write_bytes(b"RIFF")
        self.folder = prefix.drive_c() / "probe"
        self.folder.mkdir(parents=True, exist_ok=True)
        self.program = shutil.copy2(
            build_dir / "tests" / "saver" / "dialog" / "dialog_probe.exe", self.folder)
        self.ini = self.folder / "Sorvanta.ini"
        self.ini.write_bytes(ini_text(kind, repeat, music_file).encode("cp932"))
        self.ini_before = self.ini.read_bytes()
        self.process = prefix.start([self.program], cwd=self.folder)
        self.window = screen.wait_window(TITLE_REGEX, timeout=60)
        self.origin = screen.geometry(self.window)[:2]

    def move(self, point):
        x, y = self.origin[0] + point[0], self.origin[1] + point[1]
        self.screen.move_pointer(x, y)

    def click(self, point):
        self.move(point)
        self.screen.xdotool("click", "1")

    def type_text(self, text):
        self.screen.xdotool("type", "--delay", "50", text)

    def keys(self, *names):
        self.screen.xdotool("key", "--delay", "50", *names)

    def wait_closed(self, what):
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            pytest.fail(f"the dialog did not close after {what}")
        return self.log()

    def log(self):
        path = self.folder / "dialog_probe.log"
        wait_until(path.exists, 10, what="the probe's log")
        return dict(line.split("=", 1) for line in path.read_text("utf-8").splitlines())

    def client_pixels(self, path):
        self.screen.screenshot(path)
        x, y = self.origin
        return np.asarray(Image.open(path).convert("RGB"))[y:y + CLIENT[1], x:x + CLIENT[0]]

    def choose_kind(self, kind, shot):
        """Clicks the kind's label and waits until its mark shows chosen."""
        self.click(KIND_LABELS[kind])
        wait_until(lambda: chosen_marks(self.client_pixels(shot)) == [kind], 20,
                   what=f"the mark of kind {kind} chosen")

    def set_repeat(self, text):
        self.click(REPEAT_COMBO)
        self.keys("End", "BackSpace", "BackSpace", "BackSpace", "BackSpace")
        if text:
            self.type_text(text)


@pytest.fixture
def open_dialog(make_screen, make_prefix, build_dir):
    def start(**settings):
        screen = make_screen(*SCREEN)
        return Dialog(screen, make_prefix(screen), build_dir, **settings)

    return start


@pytest.fixture
def shots(build_dir):
    folder = build_dir / "e2e-shots" / "dialog"
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def test_the_dialog_shows_its_caption_client_size_and_place(open_dialog, wintool_for):
    dialog = open_dialog()
    found = wintool_for(dialog.prefix).find("<Sorvanta>")
    assert found is not None, "no top-level window captioned <Sorvanta>"
    left, top, right, bottom = found["client"]
    assert (right - left, bottom - top) == CLIENT, f"client area {found['client']}"
    wl, wt, wr, wb = found["rect"]
    assert abs(wl - (SCREEN[0] - (wr - wl)) // 2) <= 1, f"not centred across: {found['rect']}"
    assert abs(wt - (SCREEN[1] - (wb - wt)) // 3) <= 1, f"not a third down: {found['rect']}"
    dialog.click(CANCEL_BUTTON)
    dialog.wait_closed("ｷｬﾝｾﾙ")




def painted_client(dialog, path):
    """The client area once the background is there (mid-height row bright)."""
    def shot():
        pixels = dialog.client_pixels(path)
        return (pixels,) if pixels[CLIENT[1] // 2, 2].sum() > 400 else None

    return wait_until(shot, 20, what="the dialog painted")[0]


def enabled_controls(tool):
    """{control id: enabled} of the dialog's controls."""
    _, out = tool.run("controls", "<Sorvanta>")
    return {int(f[0]): f[1] == "1" for f in (line.split() for line in out.splitlines()) if f}


@pytest.mark.parametrize("kind", [0, 1, 2, 5])
def test_each_kind_shows_its_mark_and_the_navy_lavender_background(open_dialog, shots,
                                                                   wintool_for, kind):
    dialog = open_dialog(kind=kind)
    enabled = enabled_controls(wintool_for(dialog.prefix))
    assert enabled[REPEAT_ID] == (kind == 1), f"kind {kind}: combo enabled {enabled}"
    assert enabled[FILE_ID] == (kind == 2), f"kind {kind}: '...' enabled {enabled}"
    pixels = painted_client(dialog, shots / f"kind{kind}.png")
    top, middle = pixels[0, 2].astype(int), pixels[CLIENT[1] // 2, 2].astype(int)
    assert np.abs(top - (0, 0, 30)).max() <= 2, f"kind {kind}: top row {top}"
    assert np.abs(middle - (220, 220, 250)).max() <= 2, f"kind {kind}: middle row {middle}"
    if kind < 3:
        assert chosen_marks(pixels) == [kind], f"kind {kind}: chosen {chosen_marks(pixels)}"
    else:
        marks = [mark(pixels, k) for k in range(3)]
        assert np.array_equal(marks[0], marks[1]) and np.array_equal(marks[1], marks[2]), \
            f"kind {kind}: a mark looks chosen"
    dialog.click(CANCEL_BUTTON)
    dialog.wait_closed("ｷｬﾝｾﾙ")


def test_choosing_a_kind_by_its_label_and_saving_writes_three_keys_in_shift_jis(open_dialog,
                                                                                wintool_for,
                                                                                tmp_path):
    dialog = open_dialog(kind=2, repeat=3)
    dialog.choose_kind(1, tmp_path / "shot.png")
    enabled = enabled_controls(wintool_for(dialog.prefix))
    assert enabled[REPEAT_ID] and not enabled[FILE_ID], f"after choosing the CD: {enabled}"
    dialog.set_repeat("12")
    dialog.click(SET_BUTTON)
    log = dialog.wait_closed("設定")
    data = dialog.ini.read_bytes()
    assert "BGM区分=1".encode("cp932") in data, f"kind not saved in Shift-JIS: {data!r}"
    assert key_lines(data) == ["BGM区分=1", "BGMﾘﾋﾟｰﾄ=12", f"BGMﾌｧｲﾙ={SONG}"], data
    assert log["BgmKind"] == "1" and log["BgmRepeat"] == "12", log


@pytest.mark.parametrize("typed, saved", [("", "0"), ("abc", "0"), ("2.5", "2"), ("40000", "0")])
def test_the_repeat_text_is_saved_by_the_numeric_rule(open_dialog, typed, saved):
    dialog = open_dialog(kind=1, repeat=3)
    dialog.set_repeat(typed)
    dialog.click(SET_BUTTON)
    dialog.wait_closed("設定")
    lines = key_lines(dialog.ini.read_bytes())
    assert lines == ["BGM区分=1", f"BGMﾘﾋﾟｰﾄ={saved}", f"BGMﾌｧｲﾙ={SONG}"], \
        f"typed {typed!r}: {lines}"


def test_cancel_after_changes_writes_nothing(open_dialog, tmp_path):
    dialog = open_dialog(kind=2, repeat=3)
    dialog.choose_kind(1, tmp_path / "shot.png")
    dialog.set_repeat("9")
    dialog.choose_kind(0, tmp_path / "shot.png")
    dialog.click(CANCEL_BUTTON)
    log = dialog.wait_closed("ｷｬﾝｾﾙ")
    assert dialog.ini.read_bytes() == dialog.ini_before, "ｷｬﾝｾﾙ changed the settings file"
    # The kind reaches the shared value at once; the repeat value only on saving.
    assert log["BgmKind"] == "0" and log["BgmRepeat"] == "3", log


def focused(tool):
    code, out = tool.run("focus", "<Sorvanta>")
    return int(out.split()[0]) if code == 0 and out.strip() else None


@pytest.mark.parametrize("kind, cycle", [(2, [FILE_ID, SET_ID, CANCEL_ID]),
                                         (1, [REPEAT_ID, SET_ID, CANCEL_ID])])
def test_tab_moves_through_the_enabled_controls_and_keys_never_click(open_dialog, wintool_for,
                                                                     kind, cycle):
    """Tab visits the enabled controls in order, "..." before "設定" before "ｷｬﾝｾﾙ";
    Enter and Space on the focused "設定" save nothing and leave the dialog open."""
    dialog = open_dialog(kind=kind)
    tool = wintool_for(dialog.prefix)
    dialog.screen.xdotool("windowfocus", "--sync", dialog.window)
    first = wait_until(lambda: focused(tool), 20, what="a focused control")
    start = cycle.index(first)
    seen = [first]
    for _ in range(len(cycle)):
        dialog.screen.key(dialog.window, "Tab")
        previous = seen[-1]
        seen.append(wait_until(lambda: (f := focused(tool)) != previous and f, 10,
                               what=f"Tab to move on from control {previous}"))
    expected = ((cycle[start:] + cycle[:start]) * 2)[:len(cycle) + 1]
    assert seen == expected, f"Tab order {seen}, expected {expected}"

    while focused(tool) != SET_ID:
        dialog.screen.key(dialog.window, "Tab")
        wait_until(lambda: focused(tool) is not None, 10, what="a focused control")
    # Enter and Space, then a Tab: once the focus has moved on, the keys before the Tab
    # have been handled.
    dialog.screen.key(dialog.window, "Return", "space", "Tab")
    wait_until(lambda: dialog.process.poll() is not None or focused(tool) not in (None, SET_ID),
               10, what="the keys to be handled")
    assert dialog.process.poll() is None, "Enter or Space on 設定 closed the dialog"
    assert dialog.ini.read_bytes() == dialog.ini_before, "Enter or Space on 設定 saved"
    dialog.click(CANCEL_BUTTON)
    dialog.wait_closed("ｷｬﾝｾﾙ")


def pointer_image(screen):
    """The X server's current pointer image (size, hot spot and pixels), as XFixes
    reports it: what the user sees, whichever process set it."""
    from Xlib import display as xdisplay
    connection = xdisplay.Display(screen.display)
    try:
        connection.xfixes_query_version()  # the extension answers only after this
        image = connection.xfixes_get_cursor_image(connection.screen().root)
        return (image.width, image.height, image.xhot, image.yhot, tuple(image.cursor_image))
    finally:
        connection.close()


def test_the_link_label_opens_the_page_in_the_registered_browser(open_dialog, wintool_for):
    dialog = open_dialog(kind=0)
    tool = wintool_for(dialog.prefix)
    opened = dialog.prefix.drive_c() / "opened.txt"
    shutil.copy2(tool.exe, dialog.prefix.drive_c() / "browser.exe")
    command = f'C:\\browser.exe record C:\\opened.txt "%1"'
    for scheme in ("https", "http"):
        dialog.prefix.run(["reg", "add", rf"HKCR\{scheme}\shell\open\command",
                           "/ve", "/t", "REG_SZ", "/d", command, "/f"])
    dialog.move(LINK_LABEL)
    over_link = wait_until(lambda: pointer_image(dialog.screen), 10, what="the pointer's image")
    dialog.click(LINK_LABEL)
    lines = wait_until(lambda: whole_lines(opened), 30, what="the registered browser to be started")
    assert lines == [WEB_ADDRESS], lines
    # The pointer the label shows is back once the browser has been started.
    wait_until(lambda: pointer_image(dialog.screen) == over_link, 10,
               what="the pointer over the link to look as it did before the click")
    dialog.click(CANCEL_BUTTON)
    dialog.wait_closed("ｷｬﾝｾﾙ")


def open_chooser(dialog):
    dialog.click(FILE_BUTTON)
    return dialog.screen.wait_window(CHOOSER_REGEX, timeout=30)


def test_the_file_chooser_opens_in_the_music_folder(open_dialog):
    dialog = open_dialog(kind=2)
    chooser = open_chooser(dialog)
    # A bare name is taken from the folder the chooser shows: only C:\music has it.
    dialog.screen.xdotool("windowfocus", "--sync", chooser)
    dialog.type_text("other.wav")
    dialog.keys("Return")
    dialog.screen.wait_no_window(CHOOSER_REGEX, timeout=30)
    dialog.click(SET_BUTTON)
    log = dialog.wait_closed("設定")
    chosen = MUSIC_FOLDER + "\\other.wav"
    assert key_lines(dialog.ini.read_bytes())[2] == f"BGMﾌｧｲﾙ={chosen}"
    assert log["BgmFile"] == chosen and log["BgmFolder"] == MUSIC_FOLDER, log


def test_cancelling_the_file_chooser_changes_nothing(open_dialog):
    dialog = open_dialog(kind=2)
    chooser = open_chooser(dialog)
    dialog.screen.key(chooser, "Escape")
    dialog.screen.wait_no_window(CHOOSER_REGEX, timeout=30)
    dialog.click(CANCEL_BUTTON)
    log = dialog.wait_closed("ｷｬﾝｾﾙ")
    assert log["BgmFile"] == SONG and log["BgmFolder"] == MUSIC_FOLDER, log
    assert dialog.ini.read_bytes() == dialog.ini_before


# ---- The dialog inside Sorvanta.scr ("/c"), once the program's entry is built. ----

@pytest.fixture
def saver_program(build_dir):
    program = build_dir / "saver" / "Sorvanta.scr"
    if not program.exists():
        pytest.skip("saver/Sorvanta.scr is not built yet (its entry is not in this build)")
    return program


def start_saver(screen, prefix, program, *args):
    """Starts the front end installed with the renderer beside it, as shipped (without
    the renderer the settings mode shows the missing-renderer message instead)."""
    folder = prefix.drive_c() / "saver"
    folder.mkdir(parents=True, exist_ok=True)
    target = shutil.copy2(program, folder)
    shutil.copy2(program.parent.parent / "renderer" / "Sorvanta.dll", folder)
    return prefix.start([target, *args], cwd=folder)


@pytest.mark.parametrize("button", [SET_BUTTON, CANCEL_BUTTON], ids=["set", "cancel"])
def test_the_program_shows_the_dialog_for_c_and_ends_when_it_closes(make_screen, make_prefix,
                                                                    saver_program, button):
    screen = make_screen(*SCREEN)
    prefix = make_prefix(screen)
    process = start_saver(screen, prefix, saver_program, "/c")
    window = screen.wait_window(TITLE_REGEX, timeout=60)
    assert process.poll() is None, "the program ended while its dialog was up"
    x, y = screen.geometry(window)[:2]
    screen.move_pointer(x + button[0], y + button[1])
    screen.xdotool("click", "1")
    wait_until(lambda: process.poll() is not None, 30, what="the program to end with its dialog")
    assert process.returncode == 0


def test_a_second_start_ends_at_once_while_the_dialog_is_open(make_screen, make_prefix,
                                                             saver_program):
    screen = make_screen(*SCREEN)
    prefix = make_prefix(screen)
    start_saver(screen, prefix, saver_program, "/c")
    screen.wait_window(TITLE_REGEX, timeout=60)
    second = start_saver(screen, prefix, saver_program, "/c")
    try:
        second.wait(timeout=30)
    except subprocess.TimeoutExpired:
        pytest.fail("a second start did not end while the dialog was open")
    assert len(screen.windows(TITLE_REGEX)) == 1, "a second dialog appeared"
