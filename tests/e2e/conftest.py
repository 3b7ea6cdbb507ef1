"""Fixtures of the Windows tests: virtual screens, private Wine prefixes, the
cross-built programs and the wintool helper.

ctest runs each module with its temporary folder under the build folder
(build/windows/e2e/<test>/), so prefixes, screenshots and recordings land there. A
test's prefix copy is removed when the test passes and kept when it fails, or always
kept with SORVANTA_KEEP_PREFIXES=1."""

import os
from pathlib import Path

import pytest

from winehost import MonitorScreen, WinePrefix, Screen, clone_prefix, template_ready, template_root


@pytest.fixture(scope="session")
def build_dir():
    build = os.environ.get("SORVANTA_BUILD")
    if not build:
        pytest.fail("SORVANTA_BUILD is not set: run the Windows tests through ctest")
    return Path(build)


@pytest.fixture(scope="session")
def source_dir():
    return Path(os.environ.get("SORVANTA_SOURCE", Path(__file__).resolve().parents[2]))


@pytest.fixture(scope="session")
def template_prefix(build_dir, tmp_path_factory):
    """The build's booted template prefix (ctest's wine_template fixture makes it once);
    a module run by hand without it boots a template of its own."""
    if template_ready(build_dir):
        yield WinePrefix(template_root(build_dir))
        return
    screen = Screen(640, 480)
    try:
        prefix = WinePrefix(tmp_path_factory.mktemp("template"), screen).boot()
    finally:
        screen.stop()
    yield WinePrefix(prefix.root)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    """Keeps each phase's report on the test, so fixtures can tell whether it failed."""
    outcome = yield
    report = outcome.get_result()
    setattr(item, f"report_{report.when}", report)


def failed(request):
    return any(getattr(getattr(request.node, f"report_{when}", None), "failed", False)
               for when in ("setup", "call"))


@pytest.fixture
def make_screen():
    """Starts Xvfb screens of given sizes; stops them after the test."""
    screens = []

    def start(width=1024, height=768):
        screen = Screen(width, height)
        screens.append(screen)
        return screen

    yield start
    for screen in screens:
        screen.stop()


@pytest.fixture
def make_monitors():
    """Starts screens of several monitors side by side (a list of (width, height), the
    primary first); stops them after the test."""
    screens = []

    def start(sizes):
        screen = MonitorScreen(sizes)
        screens.append(screen)
        return screen

    yield start
    for screen in screens:
        screen.stop()


@pytest.fixture
def make_prefix(template_prefix, tmp_path, request):
    """A private prefix for one screen, copied from the build's template."""
    prefixes = []

    def make(screen, lang="C.UTF-8"):
        prefix = clone_prefix(template_prefix, tmp_path / f"wine{len(prefixes)}", screen, lang)
        prefixes.append(prefix)
        return prefix

    yield make
    keep = failed(request) or os.environ.get("SORVANTA_KEEP_PREFIXES") == "1"
    for prefix in prefixes:
        if keep:
            prefix.stop_server()
        else:
            prefix.discard()


class WinTool:
    """Runs the wintool helper inside a prefix."""

    def __init__(self, prefix, exe):
        self.prefix, self.exe = prefix, exe

    def run(self, *args, timeout=60):
        result = self.prefix.run([self.exe, *args], timeout=timeout, encoding="utf-8",
                                 errors="replace")
        return result.returncode, result.stdout

    def find(self, caption):
        """The window's fields, or None when no top-level window has that caption."""
        code, out = self.run("find", caption)
        if code != 0 or not out.strip():
            return None
        fields = out.split()
        numbers = [int(v) for v in fields[4:12]]
        return {
            "hwnd": int(fields[0]), "class": fields[1], "style": int(fields[2], 16),
            "exstyle": int(fields[3], 16), "rect": tuple(numbers[0:4]),
            "client": tuple(numbers[4:8]),
        }

    def close(self, caption):
        return self.run("close", caption)[0] == 0

    def cursor_showing(self):
        return self.run("cursor")[1].strip() == "1"


@pytest.fixture
def wintool_for(build_dir):
    exe = build_dir / "tests" / "e2e" / "wintool.exe"
    return lambda prefix: WinTool(prefix, exe)
