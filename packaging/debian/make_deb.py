#!/usr/bin/python3
"""Writes the Debian package of the XScreenSaver hack from a native build:

  sorvanta_<version>_<arch>.deb   the hack, its settings description, its manual page,
                                  sorvanta-enable and its manual page, the copyright
                                  file and the changelog

  make_deb.py BUILD OUT

BUILD is a native build folder with the hack built (build-deb's, made with Debian's
flags, for scripts/package; the native preset's for the tests). The tree is staged by
the build's own install rules plus the files of this folder, then packed with dpkg-deb.
The version is the project's, and the changelog's newest entry must name it."""

import argparse
import gzip
import hashlib
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
PACKAGE = "sorvanta"

DESCRIPTION = """\
mirror balls in a glass box on a floor of your desktop
 An XScreenSaver hack: a translucent glass box stands on a wide floor tiled
 with a picture of your desktop. Inside it, 120 coloured balls wrapped in a
 stone texture fly and bounce off the walls; the box's bottom is a black
 mirror that reflects them, and the whole scene swings slowly to and fro.
 .
 Run sorvanta-enable once to add it to the list in xscreensaver-settings."""


def fail(message):
    sys.exit(f"make_deb: {message}")


def run(command, **options):
    return subprocess.run(command, check=True, capture_output=True, text=True, **options).stdout


def project_version(build):
    cache = build / "CMakeCache.txt"
    if not cache.is_file():
        fail(f"{cache} is missing: configure and build a native preset first")
    match = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(.+)$", cache.read_text(), re.MULTILINE)
    if not match:
        fail(f"{cache} names no project version")
    return match.group(1).strip()


def changelog_entry():
    """The newest entry's version, its maintainer and its time (seconds since 1970)."""
    fields = {}
    for line in run(["dpkg-parsechangelog", "-l", str(HERE / "changelog")]).splitlines():
        name, _, value = line.partition(": ")
        fields[name] = value
    return fields["Version"], fields["Maintainer"], int(fields["Timestamp"])


def add_file(stage, path, data, mode=0o644):
    target = stage / path
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(data)
    target.chmod(mode)


def gzipped(path):
    """Compressed as dh_compress does: best ratio, no name or time inside."""
    return gzip.compress(path.read_bytes(), compresslevel=9, mtime=0)


def stage_files(build, stage):
    env = {key: value for key, value in os.environ.items() if key != "DESTDIR"}
    cmake = os.environ.get("CMAKE_COMMAND", "cmake")
    run([cmake, "--install", str(build), "--prefix", str(stage / "usr")], env=env)
    for program in programs(stage):
        # As Debian strips its packages' programs: symbols, notes and compiler names out.
        run(["strip", "--remove-section=.comment", "--remove-section=.note", "--strip-unneeded",
             str(program)])
    add_file(stage, f"usr/bin/{PACKAGE}-enable", (HERE / f"{PACKAGE}-enable").read_bytes(), 0o755)
    add_file(stage, f"usr/share/man/man1/{PACKAGE}-enable.1",
             (HERE / f"{PACKAGE}-enable.1").read_bytes())
    for page in sorted((stage / "usr/share/man").glob("man*/*")):
        add_file(stage, f"{page.relative_to(stage)}.gz", gzipped(page))
        page.unlink()
    docs = f"usr/share/doc/{PACKAGE}"
    add_file(stage, f"{docs}/copyright", (HERE / "copyright").read_bytes())
    add_file(stage, f"{docs}/changelog.gz", gzipped(HERE / "changelog"))


def programs(stage):
    """The compiled programs of the tree."""
    found = []
    for path in sorted((stage / "usr").rglob("*")):
        if path.is_file():
            with open(path, "rb") as file:
                if file.read(4) == b"\x7fELF":
                    found.append(path)
    return found


def shared_library_depends(stage):
    """The Depends that the programs' libraries need, as dpkg-shlibdeps finds them."""
    with tempfile.TemporaryDirectory() as work:
        (Path(work) / "debian").mkdir()
        (Path(work) / "debian" / "control").write_text(
            f"Source: {PACKAGE}\n\nPackage: {PACKAGE}\nArchitecture: any\n")
        output = run(["dpkg-shlibdeps", "-O", *map(str, programs(stage))], cwd=work)
    match = re.search(r"^shlibs:Depends=(.*)$", output, re.MULTILINE)
    return match.group(1) if match else ""


def installed_size(stage):
    """In KiB, counted as dpkg-gencontrol counts it: each file rounded up, one for
    everything else."""
    total = 0
    for path in stage.rglob("*"):
        if path.parts[len(stage.parts)] == "DEBIAN":
            continue
        total += -(-path.stat().st_size // 1024) if path.is_file() else 1
    return total


def write_control(stage, version, maintainer):
    depends = ", ".join(part for part in (shared_library_depends(stage), "python3") if part)
    control = (f"Package: {PACKAGE}\nVersion: {version}\n"
               f"Architecture: {run(['dpkg', '--print-architecture']).strip()}\n"
               f"Maintainer: {maintainer}\nInstalled-Size: {installed_size(stage)}\n"
               f"Depends: {depends}\nRecommends: xscreensaver\nSection: x11\n"
               f"Priority: optional\nDescription: {DESCRIPTION}\n")
    sums = []
    for path in sorted(p for p in (stage / "usr").rglob("*") if p.is_file()):
        digest = hashlib.md5(path.read_bytes()).hexdigest()
        sums.append(f"{digest}  {path.relative_to(stage)}\n")
    add_file(stage, "DEBIAN/control", control.encode())
    add_file(stage, "DEBIAN/md5sums", "".join(sums).encode())


def settle(stage, timestamp):
    """Modes and times that do not depend on the umask or the day of the build."""
    for path in [stage, *stage.rglob("*")]:
        if path.is_dir():
            path.chmod(0o755)
        elif not path.stat().st_mode & 0o111:
            path.chmod(0o644)
        os.utime(path, (timestamp, timestamp), follow_symlinks=False)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", type=Path)
    parser.add_argument("out", type=Path)
    args = parser.parse_args()
    build, out = args.build.resolve(), args.out.resolve()
    version = project_version(build)
    logged, maintainer, timestamp = changelog_entry()
    if logged != version:
        fail(f"the changelog's newest entry is {logged}, the project's version {version}: "
             f"add an entry to {HERE / 'changelog'}")
    out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        stage = Path(work) / PACKAGE
        stage_files(build, stage)
        write_control(stage, version, maintainer)
        settle(stage, timestamp)
        arch = run(["dpkg", "--print-architecture"]).strip()
        target = out / f"{PACKAGE}_{version}_{arch}.deb"
        env = dict(os.environ, SOURCE_DATE_EPOCH=str(timestamp))
        run(["dpkg-deb", "--root-owner-group", "-Zxz", "--build", str(stage), str(target)],
            env=env)
    print(f"{target}  {target.stat().st_size} bytes")


if __name__ == "__main__":
    main()
