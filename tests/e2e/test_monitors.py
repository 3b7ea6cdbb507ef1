"""The saver on two monitors under Wine: the scene fills the primary, and the other
monitor is covered black until the run ends, its own window neither shown nor usable."""

import numpy as np
from PIL import Image

from saver_host import install, renderer_running, start
from winehost import wait_until

PRIMARY = (1024, 768)
SECOND = (1280, 1024)
PRIMARY_COLOUR = (200, 40, 40)
SECOND_COLOUR = (40, 160, 60)


def region(picture, monitor):
    left, top, width, height = monitor
    return picture[top:top + height, left:left + width]


def shoot(screen, path):
    return np.asarray(Image.open(screen.screenshot(path)).convert("RGB"))


def scene_drawn(picture, monitor):
    """The primary shows a drawn frame, not the plain window the user left there. Each
    colour is counted as one 24-bit number: sorting pixel rows is many times slower."""
    pixels = region(picture, monitor).astype(np.uint32)
    colours = pixels[..., 0] << 16 | pixels[..., 1] << 8 | pixels[..., 2]
    return len(np.unique(colours)) > 100


def covers(screen):
    """(x, y, width, height) of every mapped window of the renderer but its scene window."""
    ids = screen.xdotool("search", "--onlyvisible", "--classname", "^sorvanta.dll$",
                         check=False).split()
    rects = [screen.geometry(i) for i in ids if i not in screen.windows("^Sorvanta_VC$")]
    return sorted(r for r in rects if r[2] > 1 and r[3] > 1)


def wait_scene(screen, path, monitor):
    """The first picture of the screen with the scene drawn on the monitor."""
    def drawn():
        picture = shoot(screen, path)
        return [picture] if scene_drawn(picture, monitor) else None

    return wait_until(drawn, 60, interval=0.2, what="the scene to be drawn")[0]


def test_other_monitor_is_covered_black_while_the_saver_runs(
        build_dir, make_monitors, make_prefix, wintool_for, tmp_path):
    screen = make_monitors([PRIMARY, SECOND])
    screen.fill_monitors([PRIMARY_COLOUR, SECOND_COLOUR])
    prefix = make_prefix(screen)
    folder = install(build_dir, prefix)
    primary, second = screen.monitors
    before = shoot(screen, tmp_path / "before.png")
    assert (region(before, second) == SECOND_COLOUR).all(), "the second monitor's window is missing"

    front = start(prefix, folder, "/s")
    screen.wait_window("^Sorvanta_VC$", timeout=60)
    running = wait_scene(screen, tmp_path / "running.png", primary)
    assert (region(running, second) == 0).all(), "pixels of the second monitor are not black"
    assert covers(screen) == [second], covers(screen)
    # Only the scene window carries the caption the front end watches.
    scenes = screen.windows("^Sorvanta_VC$")
    assert len(scenes) == 1 and screen.geometry(scenes[0]) == (0, 0, *PRIMARY)
    wintool = wintool_for(prefix)
    found = wintool.find("Sorvanta_VC")
    assert found["class"] == "GLClass" and found["rect"] == (0, 0, *PRIMARY), found

    # A click on the cover is eaten: the scene keeps the keyboard, and Escape, sent to
    # whatever window has the focus with the pointer over the cover, still ends the run.
    left, top, width, height = second
    screen.xdotool("mousemove", str(left + width // 2), str(top + height // 2), "click", "1")
    clicked = shoot(screen, tmp_path / "clicked.png")
    assert (region(clicked, second) == 0).all(), "a click uncovered the second monitor"
    assert front.poll() is None and renderer_running(prefix), "a click ended the run"
    assert scene_drawn(clicked, primary)

    # A display change covers the monitors anew, with no cover left behind.
    code, _ = wintool.run("displaychange", "Sorvanta_VC")
    assert code == 0
    assert covers(screen) == [second], covers(screen)
    changed = shoot(screen, tmp_path / "display-changed.png")
    assert (region(changed, second) == 0).all(), "the second monitor is bare after a display change"

    # The mode lost and the primary grown past the scene window, as a driver reset or a
    # monitor plugged in leaves it: the scene window fills the primary again, and only
    # the other monitor is covered, not the scene.
    assert wintool.run("resize", "Sorvanta_VC", "800", "600")[0] == 0
    assert wintool.run("displaychange", "Sorvanta_VC")[0] == 0
    wait_until(lambda: screen.geometry(scenes[0]) == (0, 0, *PRIMARY), 10,
               what="the scene window to fill the primary again")
    assert covers(screen) == [second], covers(screen)
    # Frames drawn at the new size reach the primary's top-right corner (the black sky);
    # a frame of the 800 x 600 window leaves the user's window showing there.
    def full_size_frame():
        picture = shoot(screen, tmp_path / "primary-grown.png")
        corner = region(picture, primary)[3, PRIMARY[0] - 14]
        return [picture] if scene_drawn(picture, primary) and not corner.any() else None

    grown = wait_until(full_size_frame, 30, interval=0.2, what="a frame filling the primary")[0]
    assert (region(grown, second) == 0).all(), "the second monitor is bare after the growth"

    screen.xdotool("key", "Escape")
    wait_until(lambda: front.poll() is not None, 30, what="the front end to end")
    assert front.returncode == 0
    wait_until(lambda: not renderer_running(prefix), 10, what="the renderer to end")
    after = shoot(screen, tmp_path / "after.png")
    for monitor in screen.monitors:
        assert np.array_equal(region(after, monitor), region(before, monitor)), (
            f"the monitor at {monitor} does not show its window again, unchanged")


def test_windowed_fallback_leaves_the_other_monitor_as_it_is(
        build_dir, make_monitors, make_prefix, tmp_path):
    # Wine can't switch this primary to 1024 x 768: the renderer says so and goes windowed.
    screen = make_monitors([SECOND, PRIMARY])
    screen.fill_monitors([PRIMARY_COLOUR, SECOND_COLOUR])
    prefix = make_prefix(screen)
    folder = install(build_dir, prefix)
    other = screen.monitors[1]
    before = shoot(screen, tmp_path / "before.png")

    front = start(prefix, folder, "/s")
    screen.key(screen.wait_window("^Error$", timeout=60), "Return")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    windowed = wait_scene(screen, tmp_path / "windowed.png", screen.geometry(window))
    assert covers(screen) == [], covers(screen)
    assert np.array_equal(region(windowed, other), region(before, other))

    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 30, what="the front end to end")
