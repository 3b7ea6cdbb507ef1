"""The saver's background music under Wine with a private PulseAudio null sink: the
settings file beside Sorvanta.scr chooses a music file (in a folder with spaces); its
tone sounds on the sink while the saver runs and is gone once the run has ended."""

import subprocess
import time

import pytest

from pulse import Recorder, pulse, tone_heard  # noqa: F401  (pulse is a fixture)
from saver_host import renderer_running, saver, saver_on_a_large_screen, start  # noqa: F401
from winehost import wait_until

MUSIC_FOLDER = "Music for the saver"
WAV_TONE, MP3_TONE = 440, 660


def write_settings(folder, kind, music_path):
    """Sorvanta.ini as the settings dialog stores it: code page 932, CRLF lines."""
    text = f"[Section]\r\nBGM区分={kind}\r\nBGMﾘﾋﾟｰﾄ=0\r\nBGMﾌｧｲﾙ={music_path}\r\n"
    (folder / "Sorvanta.ini").write_bytes(text.encode("cp932"))


def make_music(prefix, ending):
    """A 3 s sine file in a folder with spaces; its Windows path and its tone."""
    folder = prefix.drive_c() / MUSIC_FOLDER
    folder.mkdir(exist_ok=True)
    wav = folder / "a tone.wav"
    frequency = WAV_TONE if ending == "wav" else MP3_TONE
    subprocess.run(["sox", "-n", "-r", "44100", str(wav), "synth", "3", "sine", str(frequency)],
                   check=True)
    if ending == "wav":
        return prefix.windows_path(wav), frequency
    mp3 = folder / "a tone.MP3"
    subprocess.run(["lame", "--quiet", str(wav), str(mp3)], check=True)
    wav.unlink()
    return prefix.windows_path(mp3), frequency


def run_and_listen(saver, pulse, tmp_path, kind, music_path):
    """Starts recording the sink, then a /s run with the given music settings."""
    screen, prefix, folder, _ = saver
    write_settings(folder, kind, music_path)
    recorder = Recorder(pulse, tmp_path / "sink.raw")
    front = start(prefix, folder, "/s", extra_env={"PULSE_SERVER": pulse["PULSE_SERVER"]})
    return screen, front, recorder


def end_run(screen, front):
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 15, what="the front end to end")
    assert front.returncode == 0


@pytest.mark.parametrize("ending", ["wav", "mp3"])
def test_music_file_sounds_during_the_run_and_stops_with_it(saver, pulse, tmp_path, ending):
    music_path, tone = make_music(saver[1], ending)
    screen, front, recorder = run_and_listen(saver, pulse, tmp_path, 2, music_path)
    try:
        screen.wait_window("^Sorvanta_VC$", timeout=60)
        wait_until(lambda: tone_heard(recorder.samples(), tone), 30,
                   what=f"the {ending} file's {tone} Hz tone on the sink during the run")
        end_run(screen, front)
        wait_until(lambda: not tone_heard(recorder.samples(), tone), 10,
                   what=f"silence after the run with the {ending} file")
        heard_after_end = recorder.samples().size
        wait_until(lambda: recorder.samples().size > heard_after_end + 8000, 10,
                   what="1 s more recorded")
        assert not tone_heard(recorder.samples(), tone), f"the {ending} file sounds again"
    finally:
        recorder.stop()
        front.kill()


def test_no_music_when_the_settings_choose_none(saver, pulse, tmp_path):
    music_path, tone = make_music(saver[1], "wav")
    screen, front, recorder = run_and_listen(saver, pulse, tmp_path, 0, music_path)
    try:
        screen.wait_window("^Sorvanta_VC$", timeout=60)
        started = recorder.samples().size
        # Longer than the music's start takes in the test above.
        wait_until(lambda: recorder.samples().size > started + 8000 * 3, 15,
                   what="3 s recorded during the run")
        assert not tone_heard(recorder.samples(), tone), "music sounds with the kind 'none'"
        end_run(screen, front)
    finally:
        recorder.stop()
        front.kill()


def test_run_goes_on_while_the_renderer_holds_its_mode_message(saver_on_a_large_screen, pulse,
                                                               tmp_path):
    """The renderer makes its window only after its message is closed; a user may leave
    the message up for long. The run waits: music on, front end alive."""
    screen, prefix, folder, _ = saver_on_a_large_screen
    music_path, tone = make_music(prefix, "wav")
    screen, front, recorder = run_and_listen(saver_on_a_large_screen, pulse, tmp_path, 2,
                                             music_path)
    try:
        box = screen.wait_window("^Error$", timeout=60)
        shown_at = time.monotonic()
        while time.monotonic() - shown_at < 15:
            assert front.poll() is None, "the front end ended while the renderer's message was up"
            time.sleep(0.5)
        # Still playing: the looping file is heard again within moments. The recording's
        # last instant alone may fall between two loops, or behind on a busy machine;
        # music that stopped is never heard again.
        wait_until(lambda: tone_heard(recorder.samples(), tone), 5,
                   what="the music still playing while the message is up")
        screen.key(box, "Return")
        window = screen.wait_window("^Sorvanta_VC$", timeout=60)
        screen.key(window, "Escape")
        wait_until(lambda: front.poll() is not None, 15, what="the front end to end")
        assert front.returncode == 0
        wait_until(lambda: not renderer_running(prefix), 15, what="the renderer to end")
    finally:
        recorder.stop()
        front.kill()


def test_a_session_end_during_a_run_stops_the_music_and_ends_the_front_end(saver, pulse,
                                                                         tmp_path):
    """A log-off sends WM_QUERYENDSESSION and WM_ENDSESSION to the run form: the close
    steps run (music stopped) and the front end ends, never refusing the log-off."""
    music_path, tone = make_music(saver[1], "wav")
    screen, front, recorder = run_and_listen(saver, pulse, tmp_path, 2, music_path)
    wintool = saver[3]
    try:
        screen.wait_window("^Sorvanta_VC$", timeout=60)
        wait_until(lambda: tone_heard(recorder.samples(), tone), 30, what="the music playing")
        code, answer = wintool.run("endsession", "Sorvanta_Main")
        assert code == 0 and answer.strip() == "1", f"the log-off was refused: {code} {answer!r}"
        wait_until(lambda: front.poll() is not None, 15, what="the front end to end")
        assert front.returncode == 0
        wait_until(lambda: not tone_heard(recorder.samples(), tone), 10,
                   what="silence after the session end")
    finally:
        recorder.stop()
        front.kill()
