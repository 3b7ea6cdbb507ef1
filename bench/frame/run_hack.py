"""Frames per second of the whole programs at 1024 x 768 on one private Xvfb screen, in
one run: the native XScreenSaver hack (Mesa's GLX) and Sorvanta.dll under Wine (Wine's
OpenGL over the same Mesa). Each is counted from outside, the same way: the X DAMAGE
extension reports every update of the screen, and the damaged area over the screen's
area is the number of frames shown. The hack runs with -delay 0, since the renderer
never waits between frames. Both draw the same desktop picture on the floor.

    /usr/bin/python3 bench/frame/run_hack.py build/bench build/windows [seconds]

build/bench holds the optimised hack (cmake --build --preset bench --target sorvanta),
build/windows Sorvanta.dll; the stone texture file comes from build/native's tools.
A screenshot of each program, taken as its count ends, lands in its build folder.

    /usr/bin/python3 bench/frame/run_hack.py --peers build/bench [seconds]

sets the hack beside the GL hacks a Linux user would otherwise pick, XScreenSaver's own
gears and glmatrix (xscreensaver-gl), each on the whole screen (-root) at its default
pacing, as the daemon runs them: frames per second counted as above, the share of one
core that the program (all its threads) and the X server each used over the count, and
the program's CPU time a frame.
"""

import os
import select
import shutil
import subprocess
import sys
import time
from pathlib import Path

from PIL import Image
from Xlib import X, display as xdisplay
from Xlib.ext import damage

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from winehost import Screen, WinePrefix  # noqa: E402

WIDTH, HEIGHT = 1024, 768


def desktop_picture():
    picture = Image.new("RGB", (WIDTH, HEIGHT), (255, 0, 0))
    picture.paste((255, 255, 0), (WIDTH // 2, 0, WIDTH, HEIGHT))
    return picture


def plant_root(screen, picture):
    connection = xdisplay.Display(screen.display)
    root = connection.screen().root
    pixmap = root.create_pixmap(WIDTH, HEIGHT, connection.screen().root_depth)
    gc = pixmap.create_gc()
    pixmap.put_pil_image(gc, 0, 0, picture)
    root.change_attributes(background_pixmap=pixmap)
    root.clear_area()
    connection.set_close_down_mode(X.RetainPermanent)
    connection.sync()  # closing alone drops what has not been sent
    connection.close()


def damaged_rectangles(screen, seconds, warm_up=3.0):
    """(x, y, width, height) of every update of the screen for `seconds`, after a
    warm-up."""
    connection = xdisplay.Display(screen.display)
    root = connection.screen().root
    connection.damage_query_version()  # the extension answers nothing before this
    root.damage_create(damage.DamageReportRawRectangles)
    notify = connection.extension_event.DamageNotify
    counting_from = time.monotonic() + warm_up
    end = counting_from + seconds
    try:
        while time.monotonic() < end:
            select.select([connection], [], [], 0.1)
            while connection.pending_events():
                event = connection.next_event()
                if event.type == notify and time.monotonic() >= counting_from:
                    yield (event.area.x, event.area.y, event.area.width, event.area.height)
    finally:
        connection.close()


def frames_shown(screen, seconds):
    """Screens' worth of damaged area over `seconds`."""
    area = sum(width * height for _, _, width, height in damaged_rectangles(screen, seconds))
    return area / (WIDTH * HEIGHT) / seconds


def measure_hack(screen, hack, seconds):
    plant_root(screen, desktop_picture())  # Wine's run may have cleared it
    process = subprocess.Popen([str(hack), "-delay", "0"], env={"DISPLAY": screen.display})
    try:
        time.sleep(2)  # photograph, textures and the first frame
        rate = frames_shown(screen, seconds)
        screen.screenshot(hack.parent / "run_hack_sorvanta.png")
        return rate
    finally:
        process.terminate()
        process.wait(10)


def measure_renderer(screen, build_windows, native_tools, seconds):
    prefix = WinePrefix(build_windows / "wine" / "bench-hack", screen).boot()
    try:
        exchange = prefix.drive_c() / "q_lenn"
        exchange.mkdir(parents=True, exist_ok=True)
        desktop_picture().transpose(Image.FLIP_TOP_BOTTOM).save(exchange / "Sorvanta1.tga")
        shutil.copy2(native_tools / "stone_texture" / "Sorvanta2.tga", exchange / "Sorvanta2.tga")
        folder = prefix.drive_c() / "Sorvanta"
        folder.mkdir(exist_ok=True)
        program = shutil.copy2(build_windows / "renderer" / "Sorvanta.dll", folder)
        process = prefix.start([program], cwd=folder)
        time.sleep(8)  # Wine's start and the scene's
        rate = frames_shown(screen, seconds)
        screen.screenshot(build_windows / "run_hack_renderer.png")
        process.kill()
        return rate
    finally:
        prefix.stop_server()


XSCREENSAVER_HACKS = Path("/usr/libexec/xscreensaver")


def cpu_seconds(pid):
    """User and system time of a process, all its threads, so far."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def measure_paced(screen, command, seconds, shot):
    """Frames per second and the CPU shares of the program and of the X server."""
    plant_root(screen, desktop_picture())
    process = subprocess.Popen(command, env={"DISPLAY": screen.display},
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(3)  # start, pictures and the first frames
        started = time.monotonic()
        program, server = cpu_seconds(process.pid), cpu_seconds(screen.process.pid)
        area = sum(width * height
                   for _, _, width, height in damaged_rectangles(screen, seconds, warm_up=0))
        wall = time.monotonic() - started
        program = (cpu_seconds(process.pid) - program) / wall
        server = (cpu_seconds(screen.process.pid) - server) / wall
        screen.screenshot(shot)
        return area / (WIDTH * HEIGHT) / wall, program, server
    finally:
        process.terminate()
        process.wait(10)


def compare_with_peers(build_bench, seconds):
    programs = [("sorvanta", [str(build_bench / "hack" / "sorvanta"), "-root"]),
                ("gears", [str(XSCREENSAVER_HACKS / "gears"), "-root"]),
                ("glmatrix", [str(XSCREENSAVER_HACKS / "glmatrix"), "-root"])]
    screen = Screen(WIDTH, HEIGHT)
    try:
        results = [(name, measure_paced(screen, command, seconds,
                                        build_bench / f"run_hack_{name}.png"))
                   for name, command in programs]
    finally:
        screen.stop()
    print(f"each on a {WIDTH} x {HEIGHT} Xvfb root at its default pacing, {seconds:.0f} s")
    for name, (rate, program, server) in results:
        # The CPU a frame takes holds still when a busy machine slows the frame rate.
        per_frame = program / rate * 1000 if rate > 0 else float("inf")
        print(f"{name:10} {rate:6.1f} frames/s   CPU {program:6.1%} of a core "
              f"({per_frame:5.1f} ms a frame), X server {server:6.1%}")


def main():
    if sys.argv[1] == "--peers":
        seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
        compare_with_peers(Path(sys.argv[2]).resolve(), seconds)
        return
    build_bench, build_windows = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 10.0
    hack = build_bench / "hack" / "sorvanta"
    native_tools = ROOT / "build" / "native" / "tools"
    screen = Screen(WIDTH, HEIGHT)
    try:
        first = measure_hack(screen, hack, seconds)
        renderer = measure_renderer(screen, build_windows, native_tools, seconds)
        second = measure_hack(screen, hack, seconds)
    finally:
        screen.stop()
    print(f"sorvanta (native hack, Mesa GLX on Xvfb)   {first:7.1f} frames/s, again {second:7.1f}")
    print(f"Sorvanta.dll (Windows renderer, Wine)      {renderer:7.1f} frames/s")


if __name__ == "__main__":
    main()
