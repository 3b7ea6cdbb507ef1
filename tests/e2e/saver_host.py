"""The whole saver installed in a private prefix, started as the screen-saver host
starts it: shared by the saver's Windows test modules."""

import os
import shutil
import subprocess
from pathlib import Path

import pytest

from winehost import prefix_process_arguments


PROGRAMS = ("Sorvanta.scr", "Sorvanta.dll")


def install_folder(prefix):
    """Where install() puts the programs: C:\\Sorvanta of the prefix."""
    return prefix.drive_c() / "Sorvanta"


def install(build_dir, prefix):
    """Both programs side by side in C:\\Sorvanta of the prefix; returns the folder."""
    folder = install_folder(prefix)
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
    """The Unix process ids of this prefix's processes whose program file is named one of
    names (the whole file name, compared without case), wherever it lies."""
    wanted = {name.lower() for name in names}
    return [pid for pid, image in prefix_images(prefix).items()
            if image_name(image).lower() in wanted]


def images_running(prefix, *images):
    """The Unix process ids of this prefix's processes that run one of the given program
    files (their Unix paths inside the prefix)."""
    wanted = {str(Path(image).resolve()).lower() for image in images}
    names = {Path(image).name.lower() for image in images}
    return [pid for pid, image in prefix_images(prefix).items()
            if (image.lower() in wanted if os.path.isabs(image)
                else image_name(image).lower() in names)]


def exchange_dir(prefix):
    return prefix.drive_c() / "q_lenn"


def prefix_processes(prefix):
    """{pid: command line} of the live processes of this prefix (wineserver included)."""
    arguments = prefix_process_arguments(prefix.path)
    return {pid: " ".join(argv).strip() for pid, argv in arguments.items()}


def saver_processes(prefix, folder=None):
    """{pid: command line} of the prefix's live processes that run Sorvanta.scr or
    Sorvanta.dll from folder (install()'s by default)."""
    folder = Path(folder or install_folder(prefix))
    pids = images_running(prefix, *(folder / name for name in PROGRAMS))
    commands = prefix_processes(prefix)
    return {pid: commands[pid] for pid in pids if pid in commands}


def prefix_images(prefix):
    """{pid: program file} of the prefix's live processes. Wine keeps a process's image
    as the first argument of its command line: the Unix path it was started from (`wine
    /…/x.exe`), or the Windows path CreateProcess gave (C:\\…\\x.dll). Paths on drive C:
    become Unix paths inside the prefix, Z: ones Unix paths from the root; a relative path
    stays as it is. So a program is told by its whole path, or by its file name alone,
    never by a folder that its path passes through. A process still in Wine's start-up
    (the wine script, its loader) already counts as the program it is starting."""
    images = {}
    for pid, argv in prefix_process_arguments(prefix.path).items():
        while len(argv) > 1 and image_name(argv[0]) in WINE_STARTERS:
            argv = argv[1:]
        images[pid] = unix_image(prefix, argv[0])
    return images


# What runs before a Wine program's own image: Debian's wine script under its shell, the
# loader and the preloader.
WINE_STARTERS = {"sh", "wine", "wine64", "wine-preloader", "wine64-preloader"}


def unix_image(prefix, image):
    drive = image[:3].upper()
    if drive in ("C:\\", "Z:\\"):
        root = prefix.drive_c() if drive == "C:\\" else Path("/")
        return str(root.joinpath(*filter(None, image[3:].split("\\"))).resolve())
    return str(Path(image).resolve()) if os.path.isabs(image) else image


def image_name(image):
    return image.replace("\\", "/").rsplit("/", 1)[-1]


def start(prefix, folder, *args, extra_env=None, stderr=subprocess.DEVNULL):
    """Sorvanta.scr with the given arguments, its folder as the working folder. Wine's
    log goes to stderr (a file, say); the renderer it starts writes there too."""
    env = prefix.env()
    env.update(extra_env or {})
    return subprocess.Popen(["wine", str(folder / "Sorvanta.scr"), *map(str, args)], env=env,
                            cwd=folder, stdout=subprocess.DEVNULL, stderr=stderr)
