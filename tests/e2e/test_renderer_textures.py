"""Sorvanta.dll under Wine with its exchange images in C:\\q_lenn: present, missing or
malformed, the renderer runs until Escape and ends with exit code 0; with the desktop
file present the floor shows the desktop picture."""

import struct
import time

import numpy as np
import pytest

from test_renderer import TITLE_REGEX, Renderer

# The known desktop: four quadrants of distinct colours (bottom-left, bottom-right,
# top-left, top-right), 1024 x 768.
QUADRANTS = {"red": (220, 40, 40), "green": (40, 200, 60), "blue": (40, 80, 220),
             "yellow": (230, 200, 40)}
WIDTH, HEIGHT = 1024, 768


def header(image_type, width, height, depth=24, descriptor=0):
    return struct.pack("<BBBHHBHHHHBB", 0, 0, image_type, 0, 0, 0, 0, 0, width, height,
                       depth, descriptor)


def desktop_tga():
    rows = np.empty((HEIGHT, WIDTH, 3), np.uint8)
    half_w, half_h = WIDTH // 2, HEIGHT // 2
    # Rows bottom first: the first half of the rows is the picture's bottom.
    rows[:half_h, :half_w] = QUADRANTS["red"]
    rows[:half_h, half_w:] = QUADRANTS["green"]
    rows[half_h:, :half_w] = QUADRANTS["blue"]
    rows[half_h:, half_w:] = QUADRANTS["yellow"]
    return header(2, WIDTH, HEIGHT) + rows[:, :, ::-1].tobytes()


def stone_tga(source_dir):
    """The stone texture as the exchange file: the BMP's bottom-up BGR rows as they are."""
    bmp = (source_dir / "saver" / "assets" / "stone_texture.bmp").read_bytes()
    return header(2, 256, 256) + bmp[54:]


MALFORMED = {
    "truncated": lambda: desktop_tga()[:18 + 1000],
    "huge": lambda: header(2, 65535, 65535) + bytes(4096),
    "wrong_type": lambda: header(1, 256, 256, 8) + bytes(256 * 256),
    "garbage": lambda: bytes((i * 7919 + 13) % 251 for i in range(40000)),
    "rle_overrun": lambda: header(10, 4096, 4096) + b"\xff\x01\x02\x03" * 50,
}


class TexturedRenderer(Renderer):
    """A renderer run with the given exchange files in C:\\q_lenn before it starts."""

    def __init__(self, screen, prefix, tool, build_dir, files):
        folder = prefix.drive_c() / "q_lenn"
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in files.items():
            (folder / name).write_bytes(data)
        super().__init__(screen, prefix, tool, build_dir)


@pytest.fixture
def start_with_files(make_screen, make_prefix, wintool_for, build_dir):
    runs = []

    def start(files):
        screen = make_screen(1024, 768)
        prefix = make_prefix(screen)
        run = TexturedRenderer(screen, prefix, wintool_for(prefix), build_dir, files)
        runs.append(run)
        return run

    yield start
    for run in runs:
        run.stop()


def colour_share(picture, colour, tolerance=12):
    near = np.all(np.abs(picture - np.array(colour, np.int16)) <= tolerance, axis=2)
    return near.mean()


def escape_and_expect_exit(run):
    window = run.window
    run.screen.key(window, "Escape")
    assert run.wait_exit() == 0
    run.screen.wait_no_window(TITLE_REGEX)


CASES = {
    "both_present": lambda src: {"Sorvanta1.tga": desktop_tga(), "Sorvanta2.tga": stone_tga(src)},
    "desktop_missing": lambda src: {"Sorvanta2.tga": stone_tga(src)},
    "stone_missing": lambda src: {"Sorvanta1.tga": desktop_tga()},
    "truncated_and_garbage": lambda src: {"Sorvanta1.tga": MALFORMED["truncated"](),
                                          "Sorvanta2.tga": MALFORMED["garbage"]()},
    "huge_and_wrong_type": lambda src: {"Sorvanta1.tga": MALFORMED["huge"](),
                                        "Sorvanta2.tga": MALFORMED["wrong_type"]()},
    "rle_overrun_both": lambda src: {"Sorvanta1.tga": MALFORMED["rle_overrun"](),
                                     "Sorvanta2.tga": MALFORMED["rle_overrun"]()},
}


DESKTOP_SHOWN = ("both_present", "stone_missing")


@pytest.mark.parametrize("case", list(CASES))
def test_renderer_runs_until_escape_whatever_the_files(start_with_files, source_dir, case):
    started = time.monotonic()
    run = start_with_files(CASES[case](source_dir))
    run.wait_window()
    picture = run.wait_scene()
    first_frame = time.monotonic() - started
    print(f"{case}: first frame after {first_frame:.2f} s")
    assert run.process.poll() is None, f"{case}: the renderer ended early"
    shares = {name: colour_share(picture[HEIGHT // 2:], colour)
              for name, colour in QUADRANTS.items()}
    if case in DESKTOP_SHOWN:
        # The near floor shows all four colours of the desktop picture.
        for name, share in shares.items():
            assert share > 0.02, f"{case}: {name} covers {share:.3f} of the lower half"
    else:
        for name, share in shares.items():
            assert share < 0.005, f"{case}: {name} covers {share:.3f} without a desktop"
    escape_and_expect_exit(run)
