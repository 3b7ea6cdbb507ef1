"""sorvanta-enable on a user's ~/.xscreensaver: a missing file, files with other hacks
and settings, a second run, and --disable. The lists are read back the way XScreenSaver
reads them: lines joined at a closing backslash, entries split at "\\n"."""

import os
import subprocess
from pathlib import Path

import pytest

ENABLE = Path(__file__).resolve().parents[2] / "packaging" / "debian" / "sorvanta-enable"
SORVANTA = "GL: sorvanta --root"

SYSTEM = """\
! XScreenSaver's defaults.
*mode:\t\t\trandom
*programs:\t\t\t\t\t\t\t\t      \\
\t\t\t\tmaze --root\t\t\t\t    \\n\\
-\t\t\t\trocks --root\t\t\t\t    \\n\\
  GL: \t\t\t\tgears --root\t\t\t\t    \\n

*hacks.gears.name:\tGears
"""

# As xscreensaver-settings writes it.
WRITTEN = """\
# XScreenSaver Preferences File
# Written by xscreensaver-settings 6.06 for someone on somewhere.

timeout:\t0:10:00
mode:\t\tone
selected:\t2
programs:\t\t\t\t\t\t\t\t      \\
\t\t\t\tmaze --root\t\t\t\t    \\n\\
-\t\t\t\trocks --root\t\t\t\t    \\n\\
  GL: \t\t\t\tgears --root\t\t\t\t    \\n\\
  GL: \t\t\t\tpipes --root\t\t\t\t    \\n


pointerHysteresis:\t10
"""

EXISTING = {
    "as written by xscreensaver-settings": WRITTEN,
    "list on one line, no final newline": "lock:\tTrue\nprograms:\tmaze --root \\n  GL: pipes -root",
    "no list yet": "timeout:\t0:05:00\n# a comment\nfade:\tFalse\n",
    "empty list": "programs:\n\ndpmsEnabled:\tFalse\n",
}


def logical_lines(text):
    joined, current = [], ""
    for line in text.split("\n"):
        if line.endswith("\\") and not line.endswith("\\\\"):
            current += line[:-1]
        else:
            joined.append(current + line)
            current = ""
    return joined


def resources(text):
    """Each resource's name and value, comments left out."""
    found = []
    for line in logical_lines(text):
        if line.strip() and not line.lstrip().startswith(("#", "!")):
            name, _, value = line.partition(":")
            found.append((name.strip().lstrip("*"), value))
    return found


def programs(text):
    """The entries of the last programs list, blanks evened out; None without one."""
    lists = [value for name, value in resources(text) if name == "programs"]
    if not lists:
        return None
    entries = (" ".join(entry.split()) for entry in lists[-1].split("\\n"))
    return [entry for entry in entries if entry]


@pytest.fixture
def home(tmp_path):
    (tmp_path / "home").mkdir()
    (tmp_path / "app-defaults").write_text(SYSTEM)
    return tmp_path / "home"


def enable(home, *options, app_defaults=None):
    app_defaults = app_defaults or home.parent / "app-defaults"
    result = subprocess.run(["/usr/bin/python3", str(ENABLE), "--app-defaults", str(app_defaults),
                             *options], env=dict(os.environ, HOME=str(home)),
                            capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    return (home / ".xscreensaver").read_text() if (home / ".xscreensaver").exists() else None


@pytest.mark.parametrize("system", ["a small one", "Debian's"])
def test_a_missing_file_gets_the_system_list_and_sorvanta(home, system):
    app_defaults = home.parent / "app-defaults"
    if system == "Debian's":
        app_defaults = Path("/etc/X11/app-defaults/XScreenSaver")
        if not app_defaults.is_file():
            pytest.skip("xscreensaver is not installed")
    written = enable(home, app_defaults=app_defaults)
    assert programs(written) == programs(app_defaults.read_text(errors="replace")) + [SORVANTA]
    assert [name for name, _ in resources(written)] == ["programs"]
    assert enable(home, "--disable", app_defaults=app_defaults) is not None


@pytest.mark.parametrize("case", EXISTING)
def test_an_existing_file_changes_only_in_its_list_once_and_disable_undoes_it(home, case):
    before = EXISTING[case]
    (home / ".xscreensaver").write_text(before)
    (home / ".xscreensaver").chmod(0o600)
    listed = programs(before) if programs(before) is not None else programs(SYSTEM)

    after = enable(home)
    assert programs(after) == listed + [SORVANTA]
    others = [entry for entry in resources(before) if entry[0] != "programs"]
    assert [entry for entry in resources(after) if entry[0] != "programs"] == others
    # Every line outside the list, comments and blank lines too, is kept in its place.
    kept = [line for line in before.split("\n") if "programs" not in line and "--root" not in line]
    assert [line for line in after.split("\n") if line in kept] == kept
    assert (home / ".xscreensaver").stat().st_mode & 0o777 == 0o600

    assert enable(home) == after  # a second run changes nothing

    restored = enable(home, "--disable")
    if before == WRITTEN:
        assert restored == before  # byte for byte
    assert programs(restored) == listed
    assert enable(home, "--disable") == restored


def test_a_switched_off_entry_is_switched_on_and_disable_keeps_the_selection(home):
    before = WRITTEN.replace("selected:\t2", "selected:\t4").replace(
        "  GL: \t\t\t\tpipes", "-  GL: \t\t\t\tsorvanta --root\t\t\t\t    \\n\\\n  GL: \t\t\t\tpipes")
    (home / ".xscreensaver").write_text(before)
    assert programs(before)[3] == "- GL: sorvanta --root"

    after = enable(home)
    assert programs(after) == programs(before)[:3] + [SORVANTA] + programs(before)[4:]

    # pipes was entry 4 and stays the selected hack once Sorvanta before it is gone.
    removed = enable(home, "--disable")
    assert programs(removed) == programs(WRITTEN)
    assert removed == WRITTEN.replace("selected:\t2", "selected:\t3")


def test_a_file_it_cannot_read_is_reported(home):
    (home / ".xscreensaver").mkdir()
    result = subprocess.run(["/usr/bin/python3", str(ENABLE)], env=dict(os.environ, HOME=str(home)),
                            capture_output=True, text=True)
    assert result.returncode == 1 and ".xscreensaver" in result.stderr


@pytest.mark.parametrize("session", ["wayland", "x11"])
def test_a_wayland_session_is_warned_of_in_one_line_and_the_file_still_changed(home, session):
    result = subprocess.run(
        ["/usr/bin/python3", str(ENABLE), "--app-defaults", str(home.parent / "app-defaults")],
        env=dict(os.environ, HOME=str(home), XDG_SESSION_TYPE=session), capture_output=True,
        text=True)
    assert result.returncode == 0, result.stderr
    assert programs((home / ".xscreensaver").read_text()) == programs(SYSTEM) + [SORVANTA]
    warnings = result.stderr.splitlines()
    if session == "wayland":
        assert len(warnings) == 1 and "Wayland" in warnings[0] and "X11" in warnings[0], warnings
    else:
        assert warnings == []
