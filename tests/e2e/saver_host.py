"""The whole saver installed in a private prefix, started as the screen-saver host
starts it: shared by the saver's Windows test modules."""

import shutil
import subprocess
from pathlib import Path

import pytest


def install(build_dir, prefix):
    """Both programs side by side in C:\\Sorvanta of the prefix; returns the folder."""
    folder = prefix.drive_c() / "Sorvanta"
    folder.mkdir(parents=True)
    for program in (build_dir / "saver" / "Sorvanta.scr", build_dir / "renderer" / "Sorvanta.dll"):
        shutil.copy2(program, folder / program.name)
    return folder


@pytest.fixture
def saver(build_dir, make_screen, make_prefix, wintool_for):
    """A 1024 x 768 screen and a prefix with both programs installed side by side."""
    screen = make_screen(1024, 768)
    prefix = make_prefix(screen)
    return screen, prefix, install(build_dir, prefix), wintool_for(prefix)


@pytest.fixture
def saver_on_a_large_screen(build_dir, make_screen, make_prefix, wintool_for):
    """The same on a 1280 x 1024 screen, where the renderer's display-mode change is
    refused: it shows its message first and makes its window only once it is closed."""
    screen = make_screen(1280, 1024)
    prefix = make_prefix(screen)
    return screen, prefix, install(build_dir, prefix), wintool_for(prefix)


def renderer_running(prefix):
    """True while a Sorvanta.dll process of this prefix runs."""
    return bool(programs_running(prefix, "Sorvanta.dll"))


def programs_running(prefix, *names):
    """The Unix process ids of this prefix's processes that run one of the named
    programs (compared without case)."""
    wanted = [name.lower() for name in names]
    return [pid for pid, command in prefix_processes(prefix).items()
            if any(w in command.lower() for w in wanted)]


def exchange_dir(prefix):
    return prefix.drive_c() / "q_lenn"


def prefix_processes(prefix):
    """{pid: command line} of the live processes of this prefix (wineserver included). A
    zombie has no environment left to read, so it is not among them."""
    marker = b"WINEPREFIX=" + str(prefix.path).encode() + b"\0"
    found = {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if marker not in (entry / "environ").read_bytes() + b"\0":
                continue
            command = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        found[int(entry.name)] = command.strip()
    return found


def saver_processes(prefix):
    """{pid: command line} of the prefix's live Sorvanta.scr and Sorvanta.dll processes."""
    return {pid: command for pid, command in prefix_processes(prefix).items()
            if "sorvanta" in command.lower()}


def start(prefix, folder, *args, extra_env=None, stderr=subprocess.DEVNULL):
    """Sorvanta.scr with the given arguments, its folder as the working folder. Wine's
    log goes to stderr (a file, say); the renderer it starts writes there too."""
    env = prefix.env()
    env.update(extra_env or {})
    return subprocess.Popen(["wine", str(folder / "Sorvanta.scr"), *map(str, args)], env=env,
                            cwd=folder, stdout=subprocess.DEVNULL, stderr=stderr)
