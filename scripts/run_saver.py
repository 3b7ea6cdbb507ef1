"""Runs the saver under Wine for scripts/run (see there)."""

import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from winehost import Screen, WinePrefix, wait_until  # noqa: E402
from PIL import Image, ImageStat  # noqa: E402

build = Path(sys.argv[1]).resolve()
args = sys.argv[2:] or ["/s"]

renderer = build / "renderer" / "Sorvanta.dll"
front_end = build / "saver" / "Sorvanta.scr"


def paint_sample_desktop(screen, folder):
    """A desktop-like picture on the virtual screen, for the saver to photograph."""
    from PIL import Image, ImageDraw

    picture = Image.new("RGB", (screen.width, screen.height))
    draw = ImageDraw.Draw(picture)
    for y in range(screen.height):
        draw.line([(0, y), (screen.width, y)], fill=(20, 60 + y * 120 // screen.height, 140))
    for row in range(4):
        for column in range(2):
            x, y = 24 + column * 90, 24 + row * 96
            draw.rectangle([x, y, x + 48, y + 48], fill=(230, 200 - row * 30, 60 + column * 120))
    draw.rectangle([0, screen.height - 32, screen.width, screen.height], fill=(200, 200, 200))
    draw.rectangle([300, 160, 860, 560], fill=(250, 250, 245), outline=(0, 60, 120), width=6)
    draw.rectangle([300, 160, 860, 190], fill=(0, 70, 160))
    path = folder / "sample-desktop.png"
    picture.save(path)
    subprocess.run(["display", "-display", screen.display, "-window", "root", str(path)],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


screen = None
if not os.environ.get("DISPLAY"):
    screen = Screen(1024, 768)
    paint_sample_desktop(screen, build)
prefix = WinePrefix(build / "wine" / "run", screen).boot()

# The two programs lie side by side in one folder, as shipped.
install = prefix.drive_c() / "Sorvanta"
install.mkdir(parents=True, exist_ok=True)
for program in (renderer, front_end):
    if program.exists():
        shutil.copy2(program, install / program.name)
program = install / ("Sorvanta.scr" if front_end.exists() else "Sorvanta.dll")
command = [program] + (args if program.suffix == ".scr" else [])

process = prefix.start(command, cwd=install)
if screen is None:
    print(f"running {program.name} on {os.environ['DISPLAY']}; press Escape to end it")
    sys.exit(process.wait())

try:
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    shots = build / "screenshots"
    shots.mkdir(exist_ok=True)
    # The window exists before its first frame: wait until the screen shows something.
    probe = shots / "probe.png"
    wait_until(lambda: ImageStat.Stat(Image.open(screen.screenshot(probe)).convert("L")).mean[0] > 20,
               60, interval=0.2, what="the first frame")
    probe.unlink()
    for index in range(3):
        time.sleep(1.0)  # a second of animation between pictures, not a wait for readiness
        path = screen.screenshot(shots / f"run-{index}.png")
        print(path)
    screen.key(window, "Escape")
    wait_until(lambda: process.poll() is not None, 30, what="the saver to end")
finally:
    prefix.stop_server()
    screen.stop()
