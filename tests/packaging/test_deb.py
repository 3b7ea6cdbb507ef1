"""The Debian package that packaging/debian/make_deb.py made from this build, checked
without installing it on the system: what it holds, what lintian says of it, and that
dpkg, installing it into a root of its own and purging it again, leaves nothing."""

import os
import subprocess
from pathlib import Path

import pytest

FILES = {
    "usr/bin/sorvanta-enable": "-rwxr-xr-x",
    "usr/libexec/xscreensaver/sorvanta": "-rwxr-xr-x",
    "usr/share/xscreensaver/config/sorvanta.xml": "-rw-r--r--",
    "usr/share/man/man6/sorvanta.6.gz": "-rw-r--r--",
    "usr/share/man/man1/sorvanta-enable.1.gz": "-rw-r--r--",
    "usr/share/doc/sorvanta/copyright": "-rw-r--r--",
    "usr/share/doc/sorvanta/changelog.gz": "-rw-r--r--",
}


@pytest.fixture(scope="module")
def deb():
    folder = Path(os.environ.get("SORVANTA_DEB_FOLDER", "build/native/tests/packaging/deb"))
    found = sorted(folder.glob("sorvanta_*_amd64.deb"))
    assert len(found) == 1, f"one package expected in {folder}: run the packaging_deb_make test"
    return found[0]


def dpkg_deb(*arguments):
    return subprocess.run(["dpkg-deb", *arguments], check=True, capture_output=True,
                          text=True).stdout


def test_it_holds_exactly_the_hack_its_description_manuals_and_documents(deb):
    listed = {}
    for line in dpkg_deb("--contents", str(deb)).splitlines():
        mode, owner, _, _, _, path = line.split(None, 5)
        assert owner == "root/root", line
        listed[path.removeprefix("./").rstrip("/")] = mode
    files = {path: mode for path, mode in listed.items() if not mode.startswith("d")}
    assert files == FILES
    folders = {path for path, mode in listed.items() if mode.startswith("d")}
    needed = {str(parent) for path in FILES for parent in Path(path).parents}
    assert folders == needed - {"."} | {""}

    depends = dpkg_deb("--field", str(deb), "Depends")
    assert "libx11-6" in depends and "libc6 (>=" in depends and "python3" in depends
    assert dpkg_deb("--field", str(deb), "Recommends").strip() == "xscreensaver"


def test_lintian_finds_no_error(deb):
    result = subprocess.run(["lintian", "--fail-on", "error", str(deb)], capture_output=True,
                            text=True)
    errors = [line for line in result.stdout.splitlines() if line.startswith("E:")]
    assert result.returncode == 0 and not errors, result.stdout + result.stderr


def test_purging_it_leaves_nothing_behind(deb, tmp_path):
    root = tmp_path / "root"
    admin = root / "var" / "lib" / "dpkg"
    for folder in ("info", "updates"):
        (admin / folder).mkdir(parents=True)
    for name in ("status", "available"):
        (admin / name).touch()

    def dpkg(*arguments):
        subprocess.run(["dpkg", f"--root={root}", "--force-depends", "--force-not-root",
                        "--log=/dev/null", *arguments], check=True, capture_output=True)

    dpkg("--install", str(deb))
    assert (root / "usr" / "libexec" / "xscreensaver" / "sorvanta").is_file()
    dpkg("--purge", "sorvanta")
    dpkg_own = {admin, *admin.parents}
    left = [str(path.relative_to(root)) for path in root.rglob("*")
            if path not in dpkg_own and admin not in path.parents]
    assert left == []
    assert not list((admin / "info").glob("sorvanta.*"))
