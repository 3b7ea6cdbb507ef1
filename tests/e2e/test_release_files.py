"""The release files as scripts/package writes them, made in a copy of this source tree
with a build folder of its own: packaging again after every source has been touched
gives the same bytes, and a release signed with a throwaway certificate carries
signatures that osslsigncode accepts against that certificate on both programs, the
installer and the uninstaller the installer puts in place."""

import os
import shutil
import subprocess
import zipfile

import pytest

from winehost import wait_until

# The release's time: fixed, as the copy has no commit to take it from.
SOURCE_DATE_EPOCH = "1765000000"
PASSWORD = "throwaway key's password"
PROGRAMS = ("Sorvanta.scr", "Sorvanta.dll")


def copy_source(source, target):
    """The files of the working tree that git knows or would add, changes included."""
    listed = subprocess.run(["git", "-C", str(source), "ls-files", "-z", "--cached", "--others",
                             "--exclude-standard"], check=True, capture_output=True).stdout
    for name in filter(None, listed.decode().split("\0")):
        if (source / name).is_file():
            (target / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source / name, target / name)
    return target


def package(tree, *args, compiler_cache=True):
    """Runs scripts/package in the tree; its release files as {name: bytes}. Without the
    compiler cache every source is really compiled again."""
    env = dict(os.environ, SOURCE_DATE_EPOCH=SOURCE_DATE_EPOCH, SORVANTA_SIGN_PASSWORD=PASSWORD)
    if not compiler_cache:
        env["CCACHE_DISABLE"] = "1"
    result = subprocess.run([tree / "scripts" / "package", *args], cwd=tree, env=env, text=True,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=1500)
    assert result.returncode == 0, result.stdout[-3000:]
    out = tree / "build" / "package"
    return {p.name: p.read_bytes() for p in sorted(out.iterdir())}


@pytest.fixture(scope="module")
def packaged(source_dir, tmp_path_factory):
    """A copy of the source tree, packaged once unsigned, and what that wrote."""
    tree = copy_source(source_dir, tmp_path_factory.mktemp("source"))
    return tree, package(tree)


@pytest.fixture(scope="module")
def certificate(tmp_path_factory):
    """A self-signed code-signing certificate: its PEM file and its key in a .pfx."""
    folder = tmp_path_factory.mktemp("certificate")
    env = dict(os.environ, SORVANTA_SIGN_PASSWORD=PASSWORD)
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Sorvanta test signer", "-keyout", folder / "key.pem",
                    "-out", folder / "cert.pem", "-addext", "extendedKeyUsage=codeSigning"],
                   check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", folder / "key.pem",
                    "-in", folder / "cert.pem", "-out", folder / "signer.pfx",
                    "-passout", "env:SORVANTA_SIGN_PASSWORD"], check=True, env=env)
    return folder / "cert.pem", folder / "signer.pfx"


def test_touching_every_source_and_packaging_again_gives_the_same_bytes(packaged):
    tree, first = packaged
    scr = tree / "build" / "windows" / "saver" / "Sorvanta.scr"
    linked = scr.stat().st_mtime_ns
    for path in tree.rglob("*"):
        if path.is_file() and "build" not in path.relative_to(tree).parts[:1]:
            os.utime(path)
    # Compiled anew, not handed back from the cache that the first packaging may have
    # used: the same sources compiled twice must give the same bytes.
    second = package(tree, compiler_cache=False)
    assert scr.stat().st_mtime_ns != linked, "touching the sources rebuilt nothing"
    assert sorted(second) == sorted(first)
    differing = [name for name in first if first[name] != second[name]]
    assert differing == [], f"differ after touching the sources: {differing}"


def verified(path, certificate):
    """Whether osslsigncode accepts path's signature against the certificate."""
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", certificate, "-in", path],
                            capture_output=True, text=True, timeout=120)
    return result.returncode == 0 and "Signature verification: ok" in result.stdout


def installed_uninstaller(setup, make_screen, make_prefix):
    """The uninstaller that a silent install of setup leaves, as a file on Linux."""
    prefix = make_prefix(make_screen(640, 480))
    local = prefix.run(["cmd", "/c", "echo %LOCALAPPDATA%"], text=True).stdout.strip()
    folder = prefix.drive_c() / local[3:].replace("\\", "/") / "Programs" / "Sorvanta"
    uninstaller = folder / "uninstall.exe"
    result = prefix.run([setup, "/S"], timeout=180)
    assert result.returncode == 0, result.stderr
    wait_until(uninstaller.exists, 30, what="the installed uninstaller")
    prefix.stop_server()
    return uninstaller


def test_a_signed_release_verifies_against_its_certificate_down_to_the_uninstaller(
        packaged, certificate, make_screen, make_prefix):
    tree = packaged[0]
    cert, pfx = certificate
    signed = package(tree, "--sign", pfx)
    out = tree / "build" / "package"
    setup = next(out.glob("*-setup.exe"))
    for path in (out / "Sorvanta.scr", out / "Sorvanta.dll", setup):
        assert verified(path, cert), f"{path.name} does not verify"
    with zipfile.ZipFile(next(out.glob("*.zip"))) as archive:
        for name in PROGRAMS:
            assert archive.read(name) == signed[name], f"the zip's {name} is not the signed one"
    assert verified(installed_uninstaller(setup, make_screen, make_prefix), cert)
