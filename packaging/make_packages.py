#!/usr/bin/python3
"""Writes the two release files from a Windows build:

  Sorvanta-<version>-win64.zip        both programs, README.txt, LICENSE
  Sorvanta-<version>-win64-setup.exe  the per-user installer (NSIS, makensis)

  make_packages.py BUILD OUT [--version X.Y.Z]

BUILD is the windows preset's build folder; the version defaults to the one CMake
wrote there from project(VERSION). scripts/package builds first and calls this; the
installer tests call it too, also on tests/e2e/next-version, where the build lays out
the programs once more as the next version for the upgrade."""

import argparse
import re
import subprocess
import sys
import zipfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[1]
PACKAGING = SOURCE / "packaging"


def programs(build):
    found = {"scr": build / "saver" / "Sorvanta.scr", "dll": build / "renderer" / "Sorvanta.dll"}
    for path in found.values():
        if not path.is_file():
            sys.exit(f"make_packages: {path} is missing: build the windows preset first")
    return found


def windows_text(path, version):
    """A text file for Notepad: the version filled in, CRLF line ends."""
    text = path.read_text("utf-8").replace("@VERSION@", version)
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def write_zip(target, files, version):
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.write(files["scr"], "Sorvanta.scr")
        archive.write(files["dll"], "Sorvanta.dll")
        archive.writestr("README.txt", windows_text(PACKAGING / "README.txt", version))
        archive.writestr("LICENSE", windows_text(SOURCE / "LICENSE", version))


def write_installer(target, files, version):
    subprocess.run(["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={version}",
                    f"-DSCR={files['scr']}", f"-DDLL={files['dll']}", f"-DOUTFILE={target}",
                    str(PACKAGING / "installer.nsi")], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", type=Path)
    parser.add_argument("out", type=Path)
    parser.add_argument("--version")
    args = parser.parse_args()
    build, out = args.build.resolve(), args.out.resolve()
    version = args.version or (build / "packaging" / "version.txt").read_text().strip()
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        sys.exit(f"make_packages: version {version!r} is not major.minor.patch")
    files = programs(build)
    out.mkdir(parents=True, exist_ok=True)
    stem = f"Sorvanta-{version}-win64"
    write_zip(out / f"{stem}.zip", files, version)
    write_installer(out / f"{stem}-setup.exe", files, version)
    for name in (f"{stem}.zip", f"{stem}-setup.exe"):
        print(f"{out / name}  {(out / name).stat().st_size} bytes")


if __name__ == "__main__":
    main()
