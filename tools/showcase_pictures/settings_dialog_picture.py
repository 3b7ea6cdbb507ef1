"""The README's picture of the settings dialog: Sorvanta.scr /c under Wine on a
virtual screen, the dialog's client area as the screen shows it once it has stopped
changing. scripts/pictures runs it:

    settings_dialog_picture.py WINDOWS_BUILD OUTPUT.png

The Windows tests import dialog_picture to check the committed picture."""

import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
from winehost import Screen, WinePrefix, wait_until  # noqa: E402
from PIL import Image, ImageChops  # noqa: E402

TITLE_REGEX = "^<Sorvanta>$"


def dialog_picture(screen, prefix, build, work):
    """The dialog of the Windows build's Sorvanta.scr, with its default settings, as a
    picture. The programs lie side by side, as shipped: it starts only beside its
    renderer."""
    folder = prefix.drive_c() / "Sorvanta"
    folder.mkdir(parents=True, exist_ok=True)
    shutil.copy2(Path(build) / "renderer" / "Sorvanta.dll", folder)
    program = shutil.copy2(Path(build) / "saver" / "Sorvanta.scr", folder)
    process = prefix.start([program, "/c"], cwd=folder)
    try:
        window = screen.wait_window(TITLE_REGEX, timeout=60)
        x, y, width, height = screen.geometry(window)
        shot = Path(work) / "settings-dialog-shot.png"
        previous = []

        def settled():
            picture = Image.open(screen.screenshot(shot)).convert("RGB").crop(
                (x, y, x + width, y + height))
            same = previous and ImageChops.difference(picture, previous[-1]).getbbox() is None
            previous.append(picture)
            return picture if same else None

        time.sleep(0.5)  # between two pictures that must agree, not a wait for readiness
        return wait_until(settled, 60, interval=0.5, what="the dialog to be drawn")
    finally:
        process.kill()
        prefix.stop_server()


def main(build, output):
    build = Path(build).resolve()
    screen = Screen(1024, 768)
    try:
        prefix = WinePrefix(build / "wine" / "pictures", screen).boot()
        picture = dialog_picture(screen, prefix, build, build)
    finally:
        screen.stop()
    picture.save(output, optimize=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
