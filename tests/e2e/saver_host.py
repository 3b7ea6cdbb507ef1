"""The whole saver installed in a private prefix, started as the screen-saver host
starts it: shared by the saver's Windows test modules."""

import shutil
import subprocess

import pytest


@pytest.fixture
def saver(build_dir, make_screen, make_prefix, wintool_for):
    """A 1024 x 768 screen and a prefix with both programs installed side by side."""
    screen = make_screen(1024, 768)
    prefix = make_prefix(screen)
    folder = prefix.drive_c() / "Sorvanta"
    folder.mkdir(parents=True)
    for program in (build_dir / "saver" / "Sorvanta.scr", build_dir / "renderer" / "Sorvanta.dll"):
        shutil.copy2(program, folder / program.name)
    return screen, prefix, folder, wintool_for(prefix)


def exchange_dir(prefix):
    return prefix.drive_c() / "q_lenn"


def start(prefix, folder, *args, extra_env=None):
    """Sorvanta.scr with the given arguments, its folder as the working folder."""
    env = prefix.env()
    env.update(extra_env or {})
    return subprocess.Popen(["wine", str(folder / "Sorvanta.scr"), *map(str, args)], env=env,
                            cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
