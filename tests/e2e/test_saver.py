"""The whole saver under Wine on Xvfb, started as the screen-saver host starts it; the runs
whose end is timed are in test_saver_ends_in_time.py."""

import subprocess

import pytest

from saver_host import exchange_dir, saver, start  # noqa: F401  (saver is a fixture)
from winehost import wait_until


def test_cursor_shows_again_once_the_run_has_ended(saver):
    """What the user sees after a run. Wine keeps the display count with the input of the
    process that changed it, so this cannot tell whether the close handler showed the
    cursor before the end; run_form_test checks that step."""
    screen, prefix, folder, wintool = saver
    assert wintool.cursor_showing(), "the cursor is hidden before the run"
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    wait_until(lambda: not wintool.cursor_showing(), 10, what="the cursor hidden by the run")
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")
    assert wintool.cursor_showing(), "the cursor stays hidden after the run"


def test_second_start_while_running_ends_at_once(saver):
    screen, prefix, folder, wintool = saver
    # A real host window: a preview into it would live as long as the window does.
    host = prefix.start([wintool.exe, "host", "152", "112"])
    screen.wait_window("^Sorvanta host$", timeout=60)
    handle = wait_until(lambda: wintool.find("Sorvanta host"), 30, what="the host")["hwnd"]
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    for args in (["/s"], ["/c"], ["/p", str(handle)]):
        second = prefix.run([folder / "Sorvanta.scr", *args], timeout=30)
        assert second.returncode == 0
    assert len(screen.windows("^Sorvanta_VC$")) == 1
    assert wintool.run("children", str(handle))[1].strip() == "", "a preview was embedded"
    host.kill()
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")


def test_empty_command_line_runs_without_touching_the_cursor(saver):
    screen, prefix, folder, wintool = saver
    front = start(prefix, folder)
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    assert wintool.find("Sorvanta_Main") is not None
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")


def test_renderer_killed_from_outside_ends_the_front_end(saver):
    screen, prefix, folder, wintool = saver
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    pid = int(screen.xdotool("getwindowpid", window).strip())
    subprocess.run(["kill", "-9", str(pid)])
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")


@pytest.mark.parametrize("args", [["/s"], ["/c"], ["/a"]])
def test_missing_renderer_is_reported(saver, args):
    screen, prefix, folder, wintool = saver
    (folder / "Sorvanta.dll").unlink()
    front = start(prefix, folder, *args)
    box = screen.wait_window("^Sorvanta$", timeout=30)
    found = wait_until(lambda: wintool.find("Sorvanta"), 10, what="the message box")
    _, children = wintool.run("children", str(found["hwnd"]))
    assert "Sorvanta.dll が同じﾌｫﾙﾀﾞに見つかりません！" in children, children
    assert not (exchange_dir(prefix) / "Sorvanta1.tga").exists()
    screen.key(box, "Return")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")
    assert exchange_dir(prefix).is_dir(), "C:\\q_lenn is made before the renderer check"


def test_missing_renderer_is_not_reported_for_a_preview(saver):
    screen, prefix, folder, wintool = saver
    (folder / "Sorvanta.dll").unlink()
    front = start(prefix, folder, "/p", "0")
    wait_until(lambda: front.poll() is not None, 30, what="the preview of no window to end")
    assert not screen.windows("^Sorvanta$")
    assert not exchange_dir(prefix).exists(), "a preview must not make C:\\q_lenn"
