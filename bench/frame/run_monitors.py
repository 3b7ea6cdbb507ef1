"""What the cover of the other monitor costs the renderer under Wine, on a two-monitor
screen (a 1024 x 768 primary and a 1280 x 1024 monitor beside it, Xephyr with Xinerama
as in the several-monitor tests): the frames per second each given Sorvanta.dll shows
on the primary, in alternating rounds of one run, and the area redrawn on the other
monitor, in screens' worth per second, which stays at 0 when its cover is painted once
and never again. Frames are counted from outside with the X DAMAGE extension, as
bench/frame/run_hack.py counts them. Give two programs (say, builds with and without
the covers) to compare them on the same screen; a screen of the primary alone is no
peer: there the same program counts less than half the frames, covers or not.

    /usr/bin/python3 bench/frame/run_monitors.py SECONDS ROUNDS SORVANTA.DLL [SORVANTA.DLL...]

The Wine prefix is made once in the first program's build folder (wine/bench-monitors).
"""

import shutil
import sys
import time
from pathlib import Path

from run_hack import damaged_rectangles
from winehost import MonitorScreen, WinePrefix  # run_hack puts tests/e2e on the path

PRIMARY = (1024, 768)
SECOND = (1280, 1024)


def overlap(rect, monitor):
    x, y, width, height = rect
    left, top, monitor_width, monitor_height = monitor
    across = min(x + width, left + monitor_width) - max(x, left)
    down = min(y + height, top + monitor_height) - max(y, top)
    return max(across, 0) * max(down, 0)


def redrawn(screen, seconds):
    """Screens' worth of damaged area per second on each monitor."""
    areas = [0] * len(screen.monitors)
    for rect in damaged_rectangles(screen, seconds):
        for i, monitor in enumerate(screen.monitors):
            areas[i] += overlap(rect, monitor)
    return [area / (m[2] * m[3]) / seconds for area, m in zip(areas, screen.monitors)]


def measure(prefix_root, program, seconds):
    screen = MonitorScreen([PRIMARY, SECOND])
    prefix = WinePrefix(prefix_root, screen)
    try:
        prefix.boot()
        folder = prefix.drive_c() / "Sorvanta"
        folder.mkdir(exist_ok=True)
        process = prefix.start([shutil.copy2(program, folder)], cwd=folder)
        time.sleep(8)  # Wine's start and the scene's
        rates = redrawn(screen, seconds)
        process.kill()
        return rates
    finally:
        prefix.stop_server()
        screen.stop()


def median(values):
    return sorted(values)[len(values) // 2]


def listed(values):
    return " ".join(f"{v:.2f}" for v in values)


def main():
    seconds, rounds = float(sys.argv[1]), int(sys.argv[2])
    programs = [Path(p).resolve() for p in sys.argv[3:]]
    prefix_root = programs[0].parents[1] / "wine" / "bench-monitors"
    primary = {p: [] for p in programs}
    other = {p: [] for p in programs}
    for _ in range(rounds):
        for program in programs:
            frames, redraws = measure(prefix_root, program, seconds)
            primary[program].append(frames)
            other[program].append(redraws)
    for program in programs:
        print(program)
        print(f"  primary            {median(primary[program]):7.1f} frames/s   "
              f"({listed(primary[program])})")
        print(f"  other monitor      {median(other[program]):7.2f} screens/s  "
              f"({listed(other[program])})")


if __name__ == "__main__":
    main()
