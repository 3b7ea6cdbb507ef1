"""Runs the Windows frame benchmark under Wine on a private 1024 x 768 Xvfb screen.

    /usr/bin/python3 bench/frame/run_wine.py build/windows [frames per round] [rounds]
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
from winehost import Screen, WinePrefix  # noqa: E402

build = Path(sys.argv[1]).resolve()
arguments = sys.argv[2:] or ["60", "5"]
screen = Screen(1024, 768)
prefix = WinePrefix(build / "wine" / "bench", screen)
try:
    prefix.boot()
    result = prefix.run([build / "bench" / "frame" / "frame_bench.exe", *arguments],
                        timeout=900, text=True)
    print(result.stdout, end="")
    print(result.stderr, end="", file=sys.stderr)
    status = result.returncode
finally:
    prefix.stop_server()
    screen.stop()
sys.exit(status)
