"""The saver's preview under Wine on Xvfb: embedded in a host window as the
screen-saver host asks ("/p HWND"), at the host's size, the picture at its own size on
black in the top-left corner, and gone when the host's window goes."""

import os
import shutil
import subprocess

import numpy as np
import pytest
from PIL import Image

from winehost import wait_until

PREVIEW_CAPTION = "Preview Window"
HOST_CAPTION = "Sorvanta host"
LOOK_REGEX = "^Sorvanta preview look$"
PICTURE_SIZE = (152, 112)


def picture_asset(source_dir):
    path = source_dir / "saver" / "assets" / "preview_image.bmp"
    return np.asarray(Image.open(path).convert("RGB")).astype(np.int16)


class Host:
    """A host window of a given client size (wintool host), as the screen saver's host
    window in the display settings would be, and the preview started into it."""

    def __init__(self, screen, prefix, tool, width, height):
        self.prefix, self.tool = prefix, tool
        self.process = prefix.start([tool.exe, "host", width, height])
        # The host's own start brings up the wineserver; a wintool call made before
        # could start it instead and hold on to the pipe its output is read from.
        screen.wait_window(f"^{HOST_CAPTION}$", timeout=60)
        self.window = wait_until(lambda: tool.find(HOST_CAPTION), 60, interval=0.2,
                                 what="the host window")
        self.preview = None

    @property
    def handle(self):
        return self.window["hwnd"]

    def start_preview(self, program, *args):
        self.preview = self.prefix.start([program, *args])
        return self.preview

    def preview_children(self):
        """(left, top, right, bottom) screen rectangles of the host's children captioned
        "Preview Window"."""
        _, out = self.tool.run("children", str(self.handle))
        found = []
        for line in out.splitlines():
            fields = line.split(maxsplit=5)
            if len(fields) == 6 and fields[5].strip() == PREVIEW_CAPTION:
                found.append(tuple(int(v) for v in fields[1:5]))
        return found

    def close(self):
        return self.tool.close(HOST_CAPTION)

    def stop(self):
        for process in (self.preview, self.process):
            if process is not None and process.poll() is None:
                process.kill()
                process.wait(10)


@pytest.fixture
def start_host(make_screen, make_prefix, wintool_for):
    hosts = []

    def start(width, height):
        screen = make_screen(640, 480)
        prefix = make_prefix(screen)
        host = Host(screen, prefix, wintool_for(prefix), width, height)
        hosts.append(host)
        return host

    yield start
    for host in hosts:
        host.stop()


def probe(build_dir):
    return build_dir / "tests" / "saver" / "preview" / "preview_probe.exe"


def check_embedded_and_ended_with_host(host):
    """The preview form is the host's child with the host's outer size, and its process
    ends once the host's window has gone."""
    left, top, right, bottom = host.window["rect"]
    outer = (right - left, bottom - top)
    seen = []

    def embedded():
        # The form becomes a child before it is moved and sized: wait for the size.
        seen[:] = host.preview_children()
        return [c for c in seen if (c[2] - c[0], c[3] - c[1]) == outer]

    try:
        children = wait_until(embedded, 60, interval=0.2,
                              what="the preview form as the host's child")
    except TimeoutError:
        pytest.fail(f"no preview child of the host's outer size {outer}; children: {seen}")
    assert len(seen) == 1, f"preview children of the host: {seen}"
    c_left, c_top, c_right, c_bottom = children[0]
    # Placed at (0, 0) of the host's client area: inside the host's frame, at its corner.
    assert left <= c_left <= left + 16 and top <= c_top <= top + 40, \
        f"preview at {children[0]}, host at {host.window['rect']}"
    assert host.preview.poll() is None, "the preview ended while its host was open"

    assert host.close(), "WM_CLOSE could not be posted to the host"
    wait_until(lambda: host.preview.poll() is not None, 30, interval=0.1,
               what="the preview process to end after its host")
    assert host.preview.returncode == 0


@pytest.mark.parametrize("width,height", [(152, 112), (400, 300)])
def test_preview_embeds_at_the_hosts_size_and_ends_with_it(start_host, build_dir, width, height):
    host = start_host(width, height)
    host.start_preview(probe(build_dir), "embed", host.handle)
    check_embedded_and_ended_with_host(host)


@pytest.mark.parametrize("parent", ["0", "123457"])
def test_preview_of_a_handle_that_is_no_window_ends_at_once(start_host, build_dir, parent):
    host = start_host(152, 112)
    preview = host.start_preview(probe(build_dir), "embed", parent)
    wait_until(lambda: preview.poll() is not None, 30, interval=0.1,
               what=f"the preview of handle {parent} to end")
    assert preview.returncode == 0
    assert host.preview_children() == [], "the host got a child from another handle"


@pytest.mark.parametrize("width,height", [(152, 112), (400, 300)])
def test_preview_shows_its_picture_at_its_own_size_on_black(
        make_screen, make_prefix, build_dir, source_dir, tmp_path, width, height):
    screen = make_screen(640, 480)
    prefix = make_prefix(screen)
    expected = picture_asset(source_dir)
    process = prefix.start([probe(build_dir), "look", width, height])
    try:
        window = screen.wait_window(LOOK_REGEX, timeout=60)
        x, y, w, h = screen.geometry(window)
        assert (w, h) == (width, height), f"host client {w}x{h}"
        shots = []

        def client_area():
            shot = screen.screenshot(tmp_path / f"look-{len(shots)}.png")
            shots.append(shot)
            screen_pixels = np.asarray(Image.open(shot).convert("RGB")).astype(np.int16)
            area = screen_pixels[y:y + height, x:x + width]
            picture = area[:PICTURE_SIZE[1], :PICTURE_SIZE[0]]
            return [area] if np.abs(picture - expected).max() <= 2 else None

        area = wait_until(client_area, 30, interval=0.2,
                          what="the preview picture in the top-left corner")[0]
        if os.environ.get("SORVANTA_SHOTS"):
            shutil.copy(shots[-1], os.path.join(os.environ["SORVANTA_SHOTS"],
                                                f"preview-{width}x{height}.png"))
        rest_right = area[:, PICTURE_SIZE[0]:]
        rest_below = area[PICTURE_SIZE[1]:, :]
        assert rest_right.size == 0 or rest_right.max() == 0, "right of the picture is not black"
        assert rest_below.size == 0 or rest_below.max() == 0, "below the picture is not black"
    finally:
        if process.poll() is None:
            process.kill()
            process.wait(10)


def test_saver_preview_switch_embeds_and_ends_with_the_host(start_host, build_dir, tmp_path):
    saver = build_dir / "saver" / "Sorvanta.scr"
    if not saver.exists():
        pytest.skip(f"{saver} is not built yet")
    host = start_host(152, 112)
    folder = host.prefix.drive_c() / "Sorvanta"
    folder.mkdir(parents=True, exist_ok=True)
    program = shutil.copy2(saver, folder)
    host.start_preview(program, "/p", host.handle)
    check_embedded_and_ended_with_host(host)
