"""Sorvanta.dll under Wine on Xvfb: its window, its picture, its keys and its end."""

import math
import shutil
import subprocess

import numpy as np
import pytest

from winehost import wait_until

TITLE = "Sorvanta_VC"
TITLE_REGEX = "^Sorvanta_VC$"
FULLSCREEN_FAILED = "Failed to create a fullscreen window; switching to windowed..."

WS_POPUP = 0x80000000
WS_CAPTION = 0x00C00000
WS_OVERLAPPEDWINDOW = 0x00CF0000


class Renderer:
    """One run of Sorvanta.dll in its own prefix on one screen."""

    def __init__(self, screen, prefix, tool, build_dir):
        self.screen, self.prefix, self.tool = screen, prefix, tool
        folder = prefix.drive_c() / "Sorvanta"
        folder.mkdir(parents=True, exist_ok=True)
        program = shutil.copy2(build_dir / "renderer" / "Sorvanta.dll", folder)
        self.process = prefix.start([program], cwd=folder)
        self.window = None

    def wait_window(self):
        self.window = self.screen.wait_window(TITLE_REGEX, timeout=60)
        return self.window

    def picture(self):
        """The whole screen now, as a height x width x 3 array."""
        return self.screen.picture().astype(np.int16)

    def wait_scene(self):
        """Waits for the first drawn frame: the window exists before the scene is built."""
        drawn = wait_until(lambda: self._drawn(self.picture()), 60, interval=0.2,
                           what="the scene to be drawn")
        return drawn[0]

    @staticmethod
    def _drawn(picture):
        return [picture] if picture.mean() > 20 else None

    def wait_exit(self, timeout=30):
        wait_until(lambda: self.process.poll() is not None, timeout, what="the renderer to end")
        return self.process.returncode

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(10)


@pytest.fixture
def start_renderer(make_screen, make_prefix, wintool_for, build_dir):
    runs = []

    def start(width=1024, height=768):
        screen = make_screen(width, height)
        prefix = make_prefix(screen)
        run = Renderer(screen, prefix, wintool_for(prefix), build_dir)
        runs.append(run)
        return run

    yield start
    for run in runs:
        run.stop()


# --- The view angle, read off the floor's far edge -------------------------------------
#
# The floor is a 200 x 150 rectangle at y = -5 that turns with the scene; beyond it the
# picture is black. At the left and right edges of the picture (where the box never
# reaches, whatever the angle) the first floor row from the top depends only on the view
# angle, modulo 180 degrees. The camera is the renderer's: eye (0, 6, 15) looking at the
# origin, 55 degree vertical field of view, 1024 x 768.

SAMPLE_COLUMNS = np.array([8, 40, 72, 104, 920, 952, 984, 1016])
SEARCH_ROWS = 500


def _normalised(v):
    return v / np.linalg.norm(v)


def _floor_rays():
    """Ray directions through the sample pixels (rows x columns x 3)."""
    eye = np.array([0.0, 6.0, 15.0])
    forward = _normalised(-eye)
    side = _normalised(np.cross(forward, [0.0, 1.0, 0.0]))
    up = np.cross(side, forward)
    focal_y = 1.0 / math.tan(math.radians(55.0 / 2))
    focal_x = focal_y / (1024 / 768)
    ndc_x = (SAMPLE_COLUMNS + 0.5) / 1024 * 2 - 1
    ndc_y = 1 - (np.arange(SEARCH_ROWS) + 0.5) / 768 * 2
    return (forward[None, None, :] + side[None, None, :] * (ndc_x[None, :, None] / focal_x)
            + up[None, None, :] * (ndc_y[:, None, None] / focal_y)), eye


def predicted_horizons(angles):
    """First floor row from the top in each sample column, for each angle (degrees)."""
    rays, eye = _floor_rays()
    with np.errstate(divide="ignore", invalid="ignore"):
        t = (-5.0 - eye[1]) / rays[..., 1]
    hit_x = eye[0] + t * rays[..., 0]
    hit_z = eye[2] + t * rays[..., 2]
    ahead = (rays[..., 1] < 0) & (t <= 1000.0)
    table = np.empty((len(angles), len(SAMPLE_COLUMNS)))
    for i, angle in enumerate(angles):
        c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        # The point in the turned scene's own frame.
        scene_x = hit_x * c - hit_z * s
        scene_z = hit_x * s + hit_z * c
        on_floor = ahead & (np.abs(scene_x) <= 100.0) & (np.abs(scene_z) <= 75.0)
        table[i] = np.where(on_floor.any(axis=0), on_floor.argmax(axis=0), SEARCH_ROWS)
    return table


ANGLES = np.arange(0.0, 180.0, 0.5)
HORIZONS = predicted_horizons(ANGLES)


def measured_horizons(picture):
    grey = picture[:SEARCH_ROWS, SAMPLE_COLUMNS].max(axis=2)
    lit = grey > 24
    return np.where(lit.any(axis=0), lit.argmax(axis=0), SEARCH_ROWS)


def view_angle(picture):
    """(angle modulo 180, mean row error of the best fit)."""
    errors = np.abs(HORIZONS - measured_horizons(picture)[None, :]).mean(axis=1)
    best = int(errors.argmin())
    return ANGLES[best], errors[best]


def turn(before, after):
    """The change of angle from one reading to the next, in (-90, 90]."""
    return (after - before + 90.0) % 180.0 - 90.0


# --- Tests ----------------------------------------------------------------------------


def test_fullscreen_window_covers_the_screen_and_animates(start_renderer):
    run = start_renderer(1024, 768)
    window = run.wait_window()
    found = run.tool.find(TITLE)
    assert found is not None, "FindWindow finds no window titled Sorvanta_VC"
    assert found["class"] == "GLClass"
    assert found["style"] & WS_POPUP, f"style {found['style']:#x} is not a popup"
    assert not found["style"] & WS_CAPTION, f"style {found['style']:#x} has a caption"
    assert found["rect"] == (0, 0, 1024, 768)
    assert found["client"] == (0, 0, 1024, 768)
    assert run.screen.geometry(window) == (0, 0, 1024, 768)

    first = run.wait_scene()
    changed = wait_until(lambda: np.abs(run.picture() - first).mean() > 2.0, 20,
                         interval=0.1, what="the picture to change between frames")
    assert changed
    _, error = view_angle(run.picture())
    assert error < 2.0, f"the floor's far edge is not where the camera puts it ({error} rows)"


def test_escape_ends_the_renderer_with_exit_code_0(start_renderer):
    run = start_renderer(1024, 768)
    window = run.wait_window()
    run.wait_scene()
    run.screen.key(window, "Escape")
    assert run.wait_exit() == 0
    run.screen.wait_no_window(TITLE_REGEX)


def test_wm_close_from_outside_ends_the_renderer(start_renderer):
    run = start_renderer(1024, 768)
    run.wait_window()
    run.wait_scene()
    assert run.tool.close(TITLE), "WM_CLOSE could not be posted"
    assert run.wait_exit() == 0
    assert run.tool.find(TITLE) is None


def test_wm_quit_posted_from_outside_ends_the_renderer(start_renderer):
    run = start_renderer(1024, 768)
    run.wait_window()
    run.wait_scene()
    code, _ = run.tool.run("quit", TITLE)
    assert code == 0, "WM_QUIT could not be posted"
    assert run.wait_exit() == 0


def test_refused_display_mode_shows_the_message_then_a_captioned_window(start_renderer):
    run = start_renderer(1280, 1024)
    box = run.screen.wait_window("^Error$", timeout=60)
    # The renderer's window is made only after the message has been dismissed.
    assert run.tool.find(TITLE) is None
    found_box = run.tool.find("Error")
    assert found_box is not None and found_box["class"] == "#32770"
    _, children = run.tool.run("children", str(found_box["hwnd"]))
    assert FULLSCREEN_FAILED in children, children
    assert " OK" in children, children

    run.screen.key(box, "Return")
    window = run.wait_window()
    found = run.tool.find(TITLE)
    assert found["class"] == "GLClass"
    assert found["style"] & WS_OVERLAPPEDWINDOW == WS_OVERLAPPEDWINDOW, hex(found["style"])
    assert found["rect"][:2] == (0, 0), found["rect"]
    assert found["client"] == (0, 0, 1024, 768)
    x, y, width, height = run.screen.geometry(window)
    assert (width, height) == (1024, 768)
    assert run.tool.cursor_showing()

    run.screen.key(window, "Escape")
    assert run.wait_exit() == 0


PRESSES = 45


# The frames between two pictures vary, and with them the swing a picture shows; a
# measurement is kept only when the swing stayed this steady around the burst.
STEADY_SWING_SPREAD = PRESSES / 6


def _readings(run, count):
    return [view_angle(run.picture())[0] for _ in range(count)]


def _turns(readings):
    return [turn(a, b) for a, b in zip(readings, readings[1:])]


def _jump_after_keys(run, window, key):
    """The extra turn (degrees) that a burst of key presses adds to the automatic swing,
    and the swing per picture seen before and after the burst. On a busy machine the
    burst can land across two or more pictures, so its parts are added up until a
    picture shows the swing alone again."""
    readings = _readings(run, 3)
    swings = _turns(readings)
    swing = float(np.median(swings))
    run.screen.xdotool("key", "--window", window, "--delay", "0", *([key] * PRESSES))
    last = readings[-1]
    total = 0.0

    def burst_over():
        nonlocal last, total
        angle = view_angle(run.picture())[0]
        extra = turn(last, angle) - swing
        last = angle
        started = abs(total) > PRESSES / 2
        total += extra
        return started and abs(extra) < PRESSES / 6

    wait_until(burst_over, 10, interval=0, what=f"the {key} keys to turn the scene")
    return total, swings + _turns([last] + _readings(run, 2))


@pytest.mark.parametrize("key, direction", [("Left", +1), ("Right", -1)])
def test_left_and_right_keys_turn_the_scene(start_renderer, key, direction):
    run = start_renderer(1024, 768)
    window = run.wait_window()
    run.wait_scene()
    # The swing is counted in frames, so when the frames between two pictures change, or
    # the swing turns back, during a burst, the swing it subtracts is off by degrees a
    # picture. Such a burst shows as an unsteady swing around it, and a new burst is
    # measured; so is one whose end an uneven gap hid. A renderer that ignores the keys
    # times out each time.
    measured = None
    for attempt in range(4):
        try:
            measured = _jump_after_keys(run, window, key)
        except TimeoutError:
            if attempt == 3:
                raise
            continue
        if max(measured[1]) - min(measured[1]) <= STEADY_SWING_SPREAD:
            break
    extra, swings = measured
    # The faults this is for (no turn, the wrong way, half or twice a degree a key) stay
    # well outside.
    assert abs(extra - direction * PRESSES) <= PRESSES * 0.4, (
        f"{PRESSES} x {key} added {extra:.1f} degrees to the swing of "
        f"{', '.join(f'{s:.0f}' for s in swings)} per picture")
    run.screen.key(window, "Escape")
    assert run.wait_exit() == 0


def test_the_renderer_asks_for_one_frame_per_refresh(make_screen, make_prefix, build_dir, tmp_path):
    """wglSwapIntervalEXT(1) once its context is current, as Wine's own trace of the call
    shows ("X11DRV_wglSwapIntervalEXT (1)" in Wine 8's wgl channel)."""
    screen = make_screen(1024, 768)
    prefix = make_prefix(screen)
    folder = prefix.drive_c() / "Sorvanta"
    folder.mkdir(parents=True)
    program = shutil.copy2(build_dir / "renderer" / "Sorvanta.dll", folder)
    env = {**prefix.env(), "WINEDEBUG": "+wgl"}
    log = tmp_path / "wgl.log"
    with open(log, "wb") as trace:
        process = subprocess.Popen(["wine", str(program)], env=env, cwd=folder,
                                   stdout=subprocess.DEVNULL, stderr=trace)
    try:
        window = screen.wait_window(TITLE_REGEX, timeout=60)
        wait_until(lambda: b"wglSwapIntervalEXT (1)" in log.read_bytes(), 30,
                   what="the swap interval 1 in Wine's wgl trace")
        screen.key(window, "Escape")
        process.wait(30)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait(10)
