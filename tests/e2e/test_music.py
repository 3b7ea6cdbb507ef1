"""The music module under Wine with a private PulseAudio null sink, so that sound is
really produced: an MP3 opens, plays, restarts after its end and stops; a WAV loops;
the sink's monitor hears the tone while it plays. Test files are made here (sox, lame)."""

import subprocess

import pytest

from pulse import Recorder, loud, pulse  # noqa: F401  (pulse is a fixture)
from winehost import wait_until


class Probe:
    """The music_probe program: one operation a line, one answer a line."""

    def __init__(self, prefix, exe, extra_env):
        env = prefix.env()
        env.update(extra_env)
        self.process = subprocess.Popen(["wine", str(exe)], env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)

    def ask(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().strip()

    def close(self):
        self.process.stdin.write("quit\n")
        self.process.stdin.flush()
        self.process.wait(30)


@pytest.fixture
def music_files(make_screen, make_prefix):
    screen = make_screen(640, 480)
    prefix = make_prefix(screen)
    folder = prefix.drive_c() / "My Music"
    folder.mkdir()
    wav, mp3 = folder / "tone.wav", folder / "tone.mp3"
    subprocess.run(["sox", "-n", "-r", "44100", str(wav), "synth", "2", "sine", "440"],
                   check=True)
    subprocess.run(["lame", "--quiet", str(wav), str(mp3)], check=True)
    return prefix, wav, mp3


def test_mp3_plays_restarts_and_stops(music_files, pulse, build_dir, tmp_path):
    prefix, _, mp3 = music_files
    probe = Probe(prefix, build_dir / "tests/saver/music/music_probe.exe", pulse)
    recorder = Recorder(pulse, tmp_path / "mp3.raw")
    try:
        assert int(probe.ask("devices")) > 0
        probe.ask("mp3 " + prefix.windows_path(mp3))
        assert probe.ask("start-mp3") == "ok"
        wait_until(lambda: probe.ask("mode") == "playing", 20, what="the MP3 playing")
        wait_until(lambda: loud(recorder.samples()), 20, what="the tone on the sink")
        wait_until(lambda: probe.ask("mode") == "stopped", 30, what="the MP3's end")
        probe.ask("watch-mp3")
        wait_until(lambda: probe.ask("mode") == "playing", 20, what="the restart")
        probe.ask("stop-mp3")
        assert probe.ask("mode").startswith("error"), "closed after the stop"
        wait_until(lambda: not loud(recorder.samples()), 20, what="silence after the stop")
    finally:
        recorder.stop()
        probe.close()


def test_wav_loops_and_stops(music_files, pulse, build_dir, tmp_path):
    prefix, wav, _ = music_files
    probe = Probe(prefix, build_dir / "tests/saver/music/music_probe.exe", pulse)
    recorder = Recorder(pulse, tmp_path / "wav.raw")
    try:
        probe.ask("wav " + prefix.windows_path(wav))
        probe.ask("start-wav")
        wait_until(lambda: loud(recorder.samples()), 20, what="the tone on the sink")
        start = recorder.samples().size
        # Still sounding after more than the file's 2 s length: it loops.
        wait_until(lambda: recorder.samples().size > start + 8000 * 3, 30, what="3 s recorded")
        assert loud(recorder.samples()), "the WAV stopped instead of looping"
        probe.ask("stop-wav")
        wait_until(lambda: not loud(recorder.samples()), 20, what="silence after the stop")
    finally:
        recorder.stop()
        probe.close()


def test_without_a_sound_device_nothing_plays(music_files, build_dir):
    prefix, wav, mp3 = music_files
    probe = Probe(prefix, build_dir / "tests/saver/music/music_probe.exe",
                  {"PULSE_SERVER": "unix:/nonexistent/native"})
    try:
        assert probe.ask("devices") == "0"
        probe.ask("wav " + prefix.windows_path(wav))
        assert probe.ask("start-wav") == "ok"
        probe.ask("mp3 " + prefix.windows_path(mp3))
        probe.ask("start-mp3")
        assert probe.ask("mode").startswith("error")
        assert probe.ask("start-cd") == "ok"
        assert probe.ask("watch-cd") == "cd-failed"
    finally:
        probe.close()
