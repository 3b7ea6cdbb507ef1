#!/usr/bin/python3
"""Writes the release files from a Windows build:

  Sorvanta.scr, Sorvanta.dll          the two programs as released
  Sorvanta-<version>-win64.zip        both programs, README.txt, LICENSE
  Sorvanta-<version>-win64-setup.exe  the per-user installer (NSIS, makensis)

  make_packages.py BUILD OUT [--version X.Y.Z] [--sign FILE.pfx [--timestamp URL]]

BUILD is the windows preset's build folder; the version defaults to the one CMake
wrote there from project(VERSION). scripts/package builds first and calls this; the
installer tests call it too.

The same programs give the same bytes: every packaged file carries the time
SOURCE_DATE_EPOCH names (by default the time of the source's last commit).

--sign signs both programs, the uninstaller inside the installer and the installer
with the certificate and key of FILE.pfx (osslsigncode), the key's password taken from
the environment variable SORVANTA_SIGN_PASSWORD. --timestamp has the signatures
counter-signed by that RFC 3161 time-stamp server; without it nothing is fetched."""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
from contextlib import nullcontext
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


def source_date_epoch():
    """The time the packaged files carry: SOURCE_DATE_EPOCH, else the last commit's."""
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if value is None:
        value = subprocess.run(["git", "-C", str(SOURCE), "log", "-1", "--format=%ct"],
                               check=True, capture_output=True, text=True).stdout.strip()
    if not value.isdigit():
        sys.exit(f"make_packages: SOURCE_DATE_EPOCH {value!r} is not a number of seconds")
    # A zip entry cannot be older than 1980.
    return max(int(value), 315532800)


def zip_entry(name, epoch):
    """An entry whose every field is fixed: the time, a regular file read-write for
    its owner and readable by all, made on Unix, deflated."""
    entry = zipfile.ZipInfo(name, time.gmtime(epoch)[:6])
    entry.create_system = 3
    entry.external_attr = 0o100644 << 16
    entry.compress_type = zipfile.ZIP_DEFLATED
    return entry


def write_zip(target, files, version, epoch):
    contents = [("Sorvanta.scr", files["scr"].read_bytes()),
                ("Sorvanta.dll", files["dll"].read_bytes()),
                ("README.txt", windows_text(PACKAGING / "README.txt", version)),
                ("LICENSE", windows_text(SOURCE / "LICENSE", version))]
    with zipfile.ZipFile(target, "w") as archive:
        for name, data in contents:
            archive.writestr(zip_entry(name, epoch), data, compresslevel=9)


def write_installer(target, files, version, signer):
    command = ["makensis", "-V2", "-INPUTCHARSET", "UTF8", f"-DVERSION={version}",
               f"-DSCR={files['scr']}", f"-DDLL={files['dll']}", f"-DOUTFILE={target}"]
    if signer:
        command.append(f"-DSIGN_COMMAND={signer.shell_command('%1')}")
    subprocess.run([*command, str(PACKAGING / "installer.nsi")], check=True)


class Signer:
    """Signs Windows programs in place with osslsigncode. The key's password goes to
    osslsigncode in a file only this user can read, in a folder of its own that
    ends with the signer, never on a command line."""

    def __init__(self, pfx, timestamp_url):
        password = os.environ.get("SORVANTA_SIGN_PASSWORD")
        if password is None:
            sys.exit("make_packages: --sign needs the key's password in SORVANTA_SIGN_PASSWORD")
        if not Path(pfx).is_file():
            sys.exit(f"make_packages: {pfx} is not a file")
        # The command NSIS runs on the uninstaller and the installer goes through a
        # shell: a time-stamp server's address must not carry anything it expands.
        if timestamp_url and not re.fullmatch(r"https?://[\w.:/?=&%~+-]+", timestamp_url):
            sys.exit(f"make_packages: {timestamp_url!r} is not a plain http(s) address")
        self.folder = Path(tempfile.mkdtemp(prefix="sorvanta-sign-"))
        self.pfx = self.folder / "key.pfx"
        shutil.copyfile(pfx, self.pfx)
        self.password_file = self.folder / "password"
        descriptor = os.open(self.password_file, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
        with os.fdopen(descriptor, "w", encoding="utf-8") as file:
            file.write(password)
        self.timestamp_url = timestamp_url

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        shutil.rmtree(self.folder)

    def arguments(self, source, target):
        arguments = ["osslsigncode", "sign", "-pkcs12", str(self.pfx), "-readpass",
                     str(self.password_file), "-h", "sha256", "-n", "Sorvanta"]
        if self.timestamp_url:
            arguments += ["-ts", self.timestamp_url]
        return arguments + ["-in", str(source), "-out", str(target)]

    def sign(self, source, target):
        """Writes a signed copy of source to target; no target when signing fails."""
        result = subprocess.run(self.arguments(source, target), stdout=subprocess.DEVNULL)
        if result.returncode != 0:
            target.unlink(missing_ok=True)
            sys.exit(f"make_packages: osslsigncode could not sign {source}")

    def shell_command(self, path):
        """A shell command that signs the file at path in place."""
        signed = f"{path}.signed"
        quoted = " ".join(f'"{a}"' for a in self.arguments(path, signed))
        return f'{quoted} >/dev/null && mv -f "{signed}" "{path}"'


def release_programs(build, out, epoch, signer):
    """The programs as released, in OUT: copies of the build's (signed with --sign),
    carrying the release's time, which the installer stores with them."""
    released = {}
    for kind, path in programs(build).items():
        target = out / path.name
        target.unlink(missing_ok=True)
        if signer:
            signer.sign(path, target)
        else:
            shutil.copyfile(path, target)
        os.utime(target, (epoch, epoch))
        released[kind] = target
    return released


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", type=Path)
    parser.add_argument("out", type=Path)
    parser.add_argument("--version")
    parser.add_argument("--sign", metavar="FILE.pfx")
    parser.add_argument("--timestamp", metavar="URL")
    args = parser.parse_args()
    if args.timestamp and not args.sign:
        parser.error("--timestamp needs --sign")
    build, out = args.build.resolve(), args.out.resolve()
    version = args.version or (build / "packaging" / "version.txt").read_text().strip()
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        sys.exit(f"make_packages: version {version!r} is not major.minor.patch")
    epoch = source_date_epoch()
    out.mkdir(parents=True, exist_ok=True)
    stem = f"Sorvanta-{version}-win64"
    with Signer(args.sign, args.timestamp) if args.sign else nullcontext() as signer:
        files = release_programs(build, out, epoch, signer)
        write_zip(out / f"{stem}.zip", files, version, epoch)
        write_installer(out / f"{stem}-setup.exe", files, version, signer)
    for name in ("Sorvanta.scr", "Sorvanta.dll", f"{stem}.zip", f"{stem}-setup.exe"):
        print(f"{out / name}  {(out / name).stat().st_size} bytes")


if __name__ == "__main__":
    main()
