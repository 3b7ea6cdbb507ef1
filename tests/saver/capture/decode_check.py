"""Independent check of the run-length encoder: every sample written as type 10
must decode (with Pillow and with ImageMagick) to exactly the pixels of the same
picture written as type 2, and the type 2 file must be laid out as the exchange
format says (18-byte header, bottom-up B G R rows without padding)."""

import shutil
import subprocess
import sys
from pathlib import Path

from PIL import Image

MAGICK = "/usr/bin/convert"  # ImageMagick itself, not a wrapper earlier on PATH


def raw_rows_top_down(path):
    """RGB bytes of a type 2 file, top row first, read straight from its bytes."""
    data = Path(path).read_bytes()
    width = data[12] | data[13] << 8
    height = data[14] | data[15] << 8
    assert data[2] == 2 and data[16] == 24 and data[17] == 0, f"{path}: header {data[:18].hex()}"
    body = data[18:]
    assert len(body) == width * height * 3, f"{path}: {len(body)} data bytes for {width}x{height}"
    rows = [body[r * width * 3:(r + 1) * width * 3] for r in range(height)]
    out = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 3):
            out += bytes((row[i + 2], row[i + 1], row[i]))
    return width, height, bytes(out)


def pillow_rgb(path):
    with Image.open(path) as image:
        return image.size, image.convert("RGB").tobytes()


def magick_rgb(path, size):
    # ImageMagick keeps the stored row order (orientation BottomLeft) unless asked to
    # turn the picture upright.
    result = subprocess.run([MAGICK, str(path), "-auto-orient", "-depth", "8", "rgb:-"], check=True,
                            capture_output=True)
    return size, result.stdout


def main():
    program, folder = sys.argv[1], Path(sys.argv[2])
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    subprocess.run([program, str(folder)], check=True)
    failures = []
    plain_files = sorted(folder.glob("*_2.tga"))
    if not plain_files:
        failures.append("no samples were written")
    for plain in plain_files:
        packed = plain.with_name(plain.name.replace("_2.tga", "_10.tga"))
        width, height, truth = raw_rows_top_down(plain)
        if packed.read_bytes()[2] != 10:
            failures.append(f"{packed.name}: image type is not 10")
        for decoder in (pillow_rgb, lambda p: magick_rgb(p, (width, height))):
            for path in (plain, packed):
                size, pixels = decoder(path)
                name = "Pillow" if decoder is pillow_rgb else "ImageMagick"
                if size != (width, height) or pixels != truth:
                    differing = sum(a != b for a, b in zip(pixels, truth))
                    failures.append(f"{path.name} by {name}: size {size}, "
                                    f"{differing} bytes differ of {len(truth)}")
        print(f"{plain.stem[:-2]}: {width}x{height}, type 10 is "
              f"{packed.stat().st_size} bytes against {plain.stat().st_size}")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
