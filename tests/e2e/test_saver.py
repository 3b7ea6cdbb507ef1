"""The whole saver under Wine on Xvfb, started as the screen-saver host starts it."""

import stat
import subprocess
import time

import numpy as np
import pytest
from PIL import Image

from saver_host import (exchange_dir, programs_running, renderer_running,  # noqa: F401
                        saver, start)  # (saver is a fixture)
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


def test_cursor_shows_again_once_the_run_has_ended(saver):
    """What the user sees after a run. Wine keeps the display count with the input of the
    process that changed it, so this cannot tell whether the close handler showed the
    cursor before the end; run_form_test checks that step."""
    screen, prefix, folder, wintool = saver
    assert wintool.cursor_showing(), "the cursor is hidden before the run"
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    wait_until(lambda: not wintool.cursor_showing(), 10, what="the cursor hidden by the run")
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")
    assert wintool.cursor_showing(), "the cursor stays hidden after the run"


def test_second_start_while_running_ends_at_once(saver):
    screen, prefix, folder, wintool = saver
    # A real host window: a preview into it would live as long as the window does.
    host = prefix.start([wintool.exe, "host", "152", "112"])
    screen.wait_window("^Sorvanta host$", timeout=60)
    handle = wait_until(lambda: wintool.find("Sorvanta host"), 30, what="the host")["hwnd"]
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    for args in (["/s"], ["/c"], ["/p", str(handle)]):
        second = prefix.run([folder / "Sorvanta.scr", *args], timeout=30)
        assert second.returncode == 0
    assert len(screen.windows("^Sorvanta_VC$")) == 1
    assert wintool.run("children", str(handle))[1].strip() == "", "a preview was embedded"
    host.kill()
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")


def test_empty_command_line_runs_without_touching_the_cursor(saver):
    screen, prefix, folder, wintool = saver
    front = start(prefix, folder)
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    assert wintool.find("Sorvanta_Main") is not None
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")


def test_renderer_killed_from_outside_ends_the_front_end(saver):
    screen, prefix, folder, wintool = saver
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    pid = int(screen.xdotool("getwindowpid", window).strip())
    subprocess.run(["kill", "-9", str(pid)])
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")


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


@pytest.mark.parametrize("args", [["/s"], ["/c"], ["/a"]])
def test_missing_renderer_is_reported(saver, args):
    screen, prefix, folder, wintool = saver
    (folder / "Sorvanta.dll").unlink()
    front = start(prefix, folder, *args)
    box = screen.wait_window("^Sorvanta$", timeout=30)
    found = wait_until(lambda: wintool.find("Sorvanta"), 10, what="the message box")
    _, children = wintool.run("children", str(found["hwnd"]))
    assert "Sorvanta.dll が同じﾌｫﾙﾀﾞに見つかりません！" in children, children
    assert not (exchange_dir(prefix) / "Sorvanta1.tga").exists()
    screen.key(box, "Return")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")
    assert exchange_dir(prefix).is_dir(), "C:\\q_lenn is made before the renderer check"


def test_missing_renderer_is_not_reported_for_a_preview(saver):
    screen, prefix, folder, wintool = saver
    (folder / "Sorvanta.dll").unlink()
    front = start(prefix, folder, "/p", "0")
    wait_until(lambda: front.poll() is not None, 30, what="the preview of no window to end")
    assert not screen.windows("^Sorvanta$")
    assert not exchange_dir(prefix).exists(), "a preview must not make C:\\q_lenn"
