"""The saver's runs whose end is timed: after Escape, and after its front end is killed
from outside. They run with no other test beside them (see CMakeLists.txt), so that a
busy machine does not stretch the times."""

import stat
import subprocess
import time

import numpy as np
from PIL import Image

from saver_host import exchange_dir, programs_running, renderer_running, \
    saver, start  # noqa: F401  (saver is a fixture)
from winehost import wait_until

STONE_FILE_SIZE = 18 + 256 * 256 * 3


def read_tga_rgb(path):
    """Pixels of an uncompressed bottom-up 24-bit exchange file, top row first."""
    data = path.read_bytes()
    width = data[12] | data[13] << 8
    height = data[14] | data[15] << 8
    pixels = np.frombuffer(data[18:], dtype=np.uint8).reshape(height, width, 3)
    return pixels[::-1, :, ::-1]


def put_picture_on_root(screen, tmp_path):
    """A known picture on the X root window, so the capture can be compared."""
    rng = np.random.default_rng(7)
    blocks = rng.integers(0, 256, size=(24, 32, 3), dtype=np.uint8)
    picture = np.kron(blocks, np.ones((32, 32, 1), dtype=np.uint8))
    path = tmp_path / "root.png"
    Image.fromarray(picture).save(path)
    subprocess.run(["display", "-display", screen.display, "-window", "root", str(path)],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return picture


def test_run_writes_both_files_starts_renderer_and_ends_with_it(saver, tmp_path):
    screen, prefix, folder, wintool = saver
    picture = put_picture_on_root(screen, tmp_path)
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)

    desktop = exchange_dir(prefix) / "Sorvanta1.tga"
    stone = exchange_dir(prefix) / "Sorvanta2.tga"
    assert stone.stat().st_size == STONE_FILE_SIZE
    assert np.array_equal(read_tga_rgb(desktop), picture), "the capture differs from the screen"
    # Wine keeps no descriptor: it turns the one given at creation into the Unix mode, the
    # bits for everyone else from what other accounts are allowed (the group's come from
    # the SIDs in the running user's own token, Administrators among them).
    for image in (desktop, stone):
        mode = stat.S_IMODE(image.stat().st_mode)
        assert not mode & stat.S_IROTH, f"others may read {image.name} ({mode:04o})"
    assert wintool.find("Sorvanta_Main") is not None, "the run form's marker window is missing"
    assert not wintool.cursor_showing(), "the cursor is visible during a /s run"

    ended_at = time.monotonic()
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 10, what="the front end to end")
    # Within one renderer-watch interval of the window going, plus Wine's own exit time.
    assert time.monotonic() - ended_at < 5
    assert front.returncode == 0


def test_front_end_killed_from_outside_takes_the_renderer_with_it(saver):
    """As when Windows, Task Manager or a crash ends the front end: the renderer must not
    go on drawing full screen with nobody to stop it."""
    screen, prefix, folder, wintool = saver
    front = start(prefix, folder, "/s")
    screen.wait_window("^Sorvanta_VC$", timeout=60)
    assert renderer_running(prefix)
    front_ends = programs_running(prefix, "Sorvanta.scr")
    assert front_ends, "no front-end process"
    subprocess.run(["kill", "-9", *map(str, front_ends)])
    wait_until(lambda: not renderer_running(prefix), 5, what="the renderer to end with its front end")
