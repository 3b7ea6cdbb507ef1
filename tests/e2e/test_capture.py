"""The desktop capture under Wine on Xvfb: a known picture on the X root window is
grabbed by the capture driver (the run form's grab and SaveTGA) and written as an
exchange image whose pixels equal the X server's own screenshot of the screen."""

import os
import shutil
import subprocess

import numpy as np
import pytest
from PIL import Image

from winehost import wait_until

DESKTOP_FILE = r"C:\q_lenn\Sorvanta1.tga"


def known_picture(width, height):
    """Noise over gradients and flat blocks: every kind of run, no symmetry to hide a flip."""
    rng = np.random.default_rng(width * 7 + height)
    y, x = np.mgrid[0:height, 0:width]
    picture = np.stack([(x * 255 // width), (y * 255 // height), ((x // 64 + y // 48) % 4) * 60],
                       axis=-1).astype(np.uint8)
    noisy = (x // 128 + y // 96) % 2 == 0
    picture[noisy] = rng.integers(0, 256, size=(int(noisy.sum()), 3), dtype=np.uint8)
    return picture


def show_on_root(screen, picture, folder):
    """Paints the picture on the root window and waits until the screen shows it."""
    path = folder / "known.png"
    Image.fromarray(picture).save(path)
    # display exits with status 1 even when it has painted the root.
    subprocess.run(["display", "-window", "root", str(path)], env={**os.environ, **screen.env()},
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    wait_until(lambda: np.array_equal(screenshot(screen, folder / "root.png"), picture), 30,
               interval=0.2, what="the known picture on the root window")


def screenshot(screen, path):
    return np.asarray(Image.open(screen.screenshot(path)).convert("RGB"))


def exchange_image(data):
    """Header fields and the pixels, top row first, RGB, of a type 2 exchange file."""
    width = data[12] | data[13] << 8
    height = data[14] | data[15] << 8
    body = np.frombuffer(data, dtype=np.uint8, offset=18)
    assert body.size == width * height * 3, f"{body.size} data bytes for {width}x{height}"
    rows = body.reshape(height, width, 3)[::-1, :, ::-1]  # bottom-up BGR -> top-down RGB
    return data[:18], rows


@pytest.fixture
def capture_run(make_screen, make_prefix, build_dir, tmp_path):
    def run(width, height, *extra):
        screen = make_screen(width, height)
        picture = known_picture(width, height)
        show_on_root(screen, picture, tmp_path)
        prefix = make_prefix(screen)
        (prefix.drive_c() / "q_lenn").mkdir()
        driver = shutil.copy2(build_dir / "tests" / "saver" / "capture" / "capture_driver.exe",
                              prefix.drive_c())
        result = prefix.run([driver, "grab", DESKTOP_FILE, *extra], timeout=120, text=True)
        assert result.returncode == 0, f"driver: {result.stdout} {result.stderr}"
        after = screenshot(screen, tmp_path / "after.png")
        assert np.array_equal(after, picture), "the screen changed while it was captured"
        return (prefix.drive_c() / "q_lenn" / "Sorvanta1.tga").read_bytes(), after

    return run


@pytest.mark.parametrize("width,height,size", [(1024, 768, 2_359_314), (1366, 768, 3_147_282)])
def test_capture_writes_the_screen_pixel_for_pixel(capture_run, width, height, size):
    data, screen_pixels = capture_run(width, height)
    assert len(data) == size
    header, pixels = exchange_image(data)
    expected_header = bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                             width & 0xFF, width >> 8, height & 0xFF, height >> 8, 24, 0])
    assert header == expected_header
    differing = int(np.any(pixels != screen_pixels, axis=-1).sum())
    assert differing == 0, f"{differing} pixels differ from the X server's screenshot"


def test_compressed_capture_decodes_to_the_screen(capture_run, tmp_path):
    data, screen_pixels = capture_run(1366, 768, "rle")
    assert data[2] == 10
    path = tmp_path / "packed.tga"
    path.write_bytes(data)
    decoded = np.asarray(Image.open(path).convert("RGB"))
    assert decoded.shape == screen_pixels.shape
    differing = int(np.any(decoded != screen_pixels, axis=-1).sum())
    assert differing == 0, f"{differing} pixels of the decoded type 10 file differ"
