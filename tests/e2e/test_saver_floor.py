"""The floor of a locked saver under Wine. With "On resume, display logon screen" on,
Windows starts the saver on a desktop of its own, "Screen-saver", where a grab reads an
empty desktop: the floor is then the user's wallpaper at the screen's size, arranged as
their WallpaperStyle says, on the desktop colour. Wine still shows the X screen to a
grab there, so these runs tell the wallpaper from the photograph. On "Default" the floor
stays the photograph."""

import subprocess

import numpy as np
import pytest
from PIL import Image

from saver_host import exchange_dir, saver  # noqa: F401  (saver is a fixture)
from winehost import wait_until

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
COLOURS_KEY = r"HKCU\Control Panel\Colors"
DESKTOP_COLOUR = (58, 110, 165)
PROGRAM = r"C:\Sorvanta\Sorvanta.scr"


def blocks(seed, rows, columns, size):
    """Random flat blocks of size x size pixels: a picture no arrangement can fake."""
    rng = np.random.default_rng(seed)
    picked = rng.integers(0, 256, size=(rows, columns, 3), dtype=np.uint8)
    return np.kron(picked, np.ones((size, size, 1), dtype=np.uint8))


def put_on_root(screen, picture, path):
    Image.fromarray(picture).save(path)
    subprocess.run(["display", "-display", screen.display, "-window", "root", str(path)],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


def set_desktop(prefix, wallpaper, style, tile="0"):
    for key, name, value in ((DESKTOP_KEY, "Wallpaper", wallpaper),
                             (DESKTOP_KEY, "WallpaperStyle", style),
                             (DESKTOP_KEY, "TileWallpaper", tile),
                             (COLOURS_KEY, "Background", " ".join(map(str, DESKTOP_COLOUR)))):
        # Wine's reg now and then fails silently while the prefix's wineserver is still
        # ending from the step before; the same value is written again then.
        for _ in range(3):
            result = prefix.run(["reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value,
                                 "/f"])
            if result.returncode == 0:
                break
        assert result.returncode == 0, result.stderr
    prefix.stop_server()  # the system colours are read when the wineserver starts


def floor_of(prefix):
    data = (exchange_dir(prefix) / "Sorvanta1.tga").read_bytes()
    width, height = data[12] | data[13] << 8, data[14] | data[15] << 8
    return np.frombuffer(data[18:], dtype=np.uint8).reshape(height, width, 3)[::-1, :, ::-1]


def run_on_desktop(screen, prefix, wintool, desktop, shot):
    """A /s run started as Windows starts a saver on that desktop; returns the floor."""
    if desktop == "Default":
        launcher = prefix.start([wintool.exe, "spawn", PROGRAM, PROGRAM + " /s"])
    else:
        launcher = prefix.start([wintool.exe, "ondesktop", desktop, PROGRAM, PROGRAM + " /s"])
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    floor = floor_of(prefix)
    Image.fromarray(floor).save(shot.with_suffix(".floor.png"))
    # A look at the scene standing on that floor, once a frame is drawn (the sky black).
    wait_until(lambda: not np.asarray(Image.open(screen.screenshot(shot)))[:3].any(), 30,
               interval=0.2, what="a frame of the scene")
    screen.key(window, "Escape")
    wait_until(lambda: launcher.poll() is not None, 30, what="the run to end")
    assert launcher.returncode == 0
    return floor


def stretched_png(drive_c):
    wallpaper = blocks(3, 24, 32, 16)  # 512 x 384, each block 32 x 32 at 1024 x 768
    Image.fromarray(wallpaper).save(drive_c / "wallpaper.png")
    return r"C:\wallpaper.png", "2", np.kron(wallpaper, np.ones((2, 2, 1), dtype=np.uint8))


def centred_bmp(drive_c):
    wallpaper = blocks(5, 6, 10, 32)  # 320 x 192, in the middle of the desktop colour
    Image.fromarray(wallpaper).save(drive_c / "wallpaper.bmp")
    expected = np.empty((768, 1024, 3), dtype=np.uint8)
    expected[:] = DESKTOP_COLOUR
    expected[288:480, 352:672] = wallpaper
    return r"C:\wallpaper.bmp", "0", expected


def filled_jpeg(drive_c):
    wallpaper = blocks(7, 15, 20, 40)  # 800 x 600: filled to 1024 x 768, nothing cut
    Image.fromarray(wallpaper).save(drive_c / "wallpaper.jpg", quality=95)
    return r"C:\wallpaper.jpg", "10", blocks(7, 15, 20, 1)  # one pixel a block


def block_centres(floor, rows, columns):
    """The floor's colour at the centre of each block of a rows x columns grid."""
    height, width = floor.shape[:2]
    ys = ((np.arange(rows) + 0.5) * height / rows).astype(int)
    xs = ((np.arange(columns) + 0.5) * width / columns).astype(int)
    return floor[np.ix_(ys, xs)]


@pytest.mark.parametrize("wallpaper", [stretched_png, centred_bmp, filled_jpeg])
def test_on_the_screen_saver_desktop_the_floor_is_the_wallpaper(saver, tmp_path, wallpaper):
    screen, prefix, folder, wintool = saver
    put_on_root(screen, blocks(11, 24, 32, 32), tmp_path / "root.png")
    path, style, expected = wallpaper(prefix.drive_c())
    set_desktop(prefix, path, style)
    floor = run_on_desktop(screen, prefix, wintool, "Screen-saver", tmp_path / "screen-saver.png")
    assert floor.shape == (768, 1024, 3)
    if wallpaper is filled_jpeg:
        # Lossy: each block's middle, away from the edges the decoders smooth apart.
        middles = block_centres(floor, *expected.shape[:2])
        assert np.abs(middles.astype(int) - expected.astype(int)).max() <= 12, \
            "the middles of the wallpaper's blocks are not where fill puts them"
    else:
        assert int(np.any(floor != expected, axis=-1).sum()) == 0, "the floor is not the wallpaper"


def test_without_a_wallpaper_the_floor_is_the_desktop_colour(saver, tmp_path):
    screen, prefix, folder, wintool = saver
    put_on_root(screen, blocks(11, 24, 32, 32), tmp_path / "root.png")
    set_desktop(prefix, "", "10")
    floor = run_on_desktop(screen, prefix, wintool, "Screen-saver", tmp_path / "no-wallpaper.png")
    assert (floor == DESKTOP_COLOUR).all()


def test_on_the_default_desktop_the_floor_is_still_the_photograph(saver, tmp_path):
    screen, prefix, folder, wintool = saver
    picture = blocks(11, 24, 32, 32)
    put_on_root(screen, picture, tmp_path / "root.png")
    path, style, _ = stretched_png(prefix.drive_c())
    set_desktop(prefix, path, style)
    floor = run_on_desktop(screen, prefix, wintool, "Default", tmp_path / "default.png")
    assert np.array_equal(floor, picture), "the floor on Default is not the photograph"
