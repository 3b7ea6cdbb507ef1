"""Cross-checks the renderer's TGA reader against independent decoders.

ImageMagick writes a test picture as TGA (uncompressed and run-length encoded, top-down
and bottom-up, with and without alpha); the reader's output (through tga_to_ppm) must
equal what Pillow, or ImageMagick where Pillow refuses the file, reads from the same file.
Pillow follows the descriptor's origin bit; ImageMagick 6 reads its own bottom-up files
upside down (it writes them top row first), so it is only the fallback.

Usage: tga_crosscheck.py path/to/tga_to_ppm
"""
import random
import subprocess
import sys
import tempfile
from pathlib import Path

from PIL import Image

CONVERT = "/usr/bin/convert"  # ImageMagick itself, whatever else is on PATH


def test_picture(mode):
    """Noise with flat stretches, so the run-length files hold runs and raw packets;
    an odd width so rows are not a multiple of 4 bytes."""
    width, height = 133, 41
    rng = random.Random(20261208)
    pixels = []
    for y in range(height):
        for x in range(width):
            if (x // 17 + y // 5) % 3 == 0:
                value = (200, 40 + y, 90, 255)
            else:
                value = tuple(rng.randrange(256) for _ in range(3)) + (rng.randrange(256),)
            pixels.append(value if mode == "RGBA" else value[:3])
    picture = Image.new(mode, (width, height))
    picture.putdata(pixels)
    return picture


def read_ppm(path):
    with Image.open(path) as picture:
        return picture.convert("RGB").tobytes(), picture.size


def reference_rgb(tga_path):
    """Top-down RGB of the file as Pillow reads it, or ImageMagick when Pillow refuses."""
    try:
        with Image.open(tga_path) as picture:
            return picture.convert("RGB").tobytes(), "Pillow"
    except (OSError, ValueError):
        out = subprocess.run(
            [CONVERT, str(tga_path), "-auto-orient", "-alpha", "off", "-depth", "8", "rgb:-"],
            check=True, capture_output=True).stdout
        return out, "ImageMagick"


def header_of(path):
    data = Path(path).read_bytes()[:18]
    return data[2], data[16], data[17]


def check_case(decoder, folder, mode, compress, orient):
    name = f"{mode}-{compress}-{orient}"
    source = folder / f"{name}.png"
    tga = folder / f"{name}.tga"
    ppm = folder / f"{name}.ppm"
    picture = test_picture(mode)
    picture.save(source)
    subprocess.run([CONVERT, str(source), "-compress", compress, "-orient", orient, str(tga)],
                   check=True)
    image_type, depth, descriptor = header_of(tga)
    expected_type = 10 if compress == "RLE" else 2
    expected_depth = 32 if mode == "RGBA" else 24
    expected_top = orient == "TopLeft"
    problems = []
    if (image_type, depth, bool(descriptor & 0x20)) != (expected_type, expected_depth, expected_top):
        problems.append(f"ImageMagick wrote type {image_type}, depth {depth}, "
                        f"descriptor {descriptor:#04x}")
    result = subprocess.run([decoder, str(tga), str(ppm)], capture_output=True, text=True)
    if result.returncode != 0:
        return problems + [f"reader refused the file: {result.stderr.strip()}"]
    ours, size = read_ppm(ppm)
    reference, oracle = reference_rgb(tga)
    if size != picture.size:
        problems.append(f"size {size}, expected {picture.size}")
    # ImageMagick 6 stores the rows of its bottom-up files top row first, so a decoder
    # that follows the descriptor (Pillow, and this reader) sees the picture upside down;
    # the oracle must still see the source picture, one way up or the other.
    source_rgb = picture.convert("RGB")
    upside_down = source_rgb.transpose(Image.Transpose.FLIP_TOP_BOTTOM)
    if reference not in (source_rgb.tobytes(), upside_down.tobytes()):
        problems.append(f"{oracle} does not read back the source picture")
    if ours != reference:
        first = next(i for i in range(min(len(ours), len(reference)))
                     if ours[i] != reference[i]) if len(ours) == len(reference) else -1
        problems.append(f"pixels differ from {oracle} (first differing byte {first})")
    return [f"{name}: {p}" for p in problems]


def main():
    decoder = sys.argv[1]
    failures = []
    cases = 0
    with tempfile.TemporaryDirectory(prefix="tga-crosscheck-") as scratch:
        folder = Path(scratch)
        for mode in ("RGB", "RGBA"):
            for compress in ("None", "RLE"):
                for orient in ("TopLeft", "BottomLeft"):
                    failures += check_case(decoder, folder, mode, compress, orient)
                    cases += 1
    for failure in failures:
        print("FAIL", failure)
    print(f"{cases} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
