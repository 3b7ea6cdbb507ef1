"""A private PulseAudio server with a null sink, and a recorder of what the sink plays,
so the Windows tests can hear whether music really sounds."""

import os
import shutil
import signal
import subprocess
import tempfile
from pathlib import Path

import numpy as np
import pytest

from winehost import wait_until

RECORD_RATE = 8000


def socket_folder():
    """A private folder for the server's socket, outside the checkout: PULSE_SERVER is a
    list split at blanks, and a socket's path is cut at 107 bytes, so the socket must not
    live under a folder that has a blank or lies deep."""
    return Path(tempfile.mkdtemp(prefix="sorvanta-pulse-", dir="/tmp"))


@pytest.fixture
def pulse(tmp_path):
    """A private PulseAudio server with a null sink; yields the client environment."""
    root = tmp_path / "pulse"
    for sub in ("run", "home"):
        (root / sub).mkdir(parents=True)
    os.chmod(root / "run", 0o700)
    sockets = socket_folder()
    socket = sockets / "native"
    env = dict(os.environ, XDG_RUNTIME_DIR=str(root / "run"), HOME=str(root / "home"))
    server = subprocess.Popen(
        ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
         "-L", f"module-native-protocol-unix auth-anonymous=1 socket={socket}",
         "-L", "module-null-sink sink_name=nullsink"],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    client = {"PULSE_SERVER": f"unix:{socket}"}
    try:
        wait_until(lambda: subprocess.run(["pactl", "info"], env={**env, **client},
                                          capture_output=True).returncode == 0,
                   20, what="the PulseAudio server")
        yield {**env, **client}
    finally:
        server.send_signal(signal.SIGTERM)
        server.wait(10)
        shutil.rmtree(sockets, ignore_errors=True)


class Recorder:
    """parec on the null sink's monitor, as 16-bit mono samples at RECORD_RATE Hz."""

    def __init__(self, env, path):
        self.path = path
        self.file = open(path, "wb")
        self.process = subprocess.Popen(
            ["parec", "--latency-msec=20", "-d", "nullsink.monitor", "--format=s16le",
             f"--rate={RECORD_RATE}", "--channels=1"], env=env, stdout=self.file)

    def samples(self):
        self.file.flush()
        return np.frombuffer(self.path.read_bytes()[: os.path.getsize(self.path) // 2 * 2],
                             dtype="<i2")

    def stop(self):
        self.process.send_signal(signal.SIGINT)
        self.process.wait(10)
        self.file.close()


def loud(samples):
    """True when the last 0.1 s recorded holds more than near silence."""
    return samples.size > 800 and np.abs(samples[-800:].astype(np.int32)).max() > 1000


def tone_heard(samples, frequency, window=2048):
    """True when the last `window` samples are loud and their strongest frequency is
    within a few hertz of `frequency` (the sine the test files carry)."""
    if samples.size < window:
        return False
    tail = samples[-window:].astype(np.float64)
    if np.abs(tail).max() <= 1000:
        return False
    spectrum = np.abs(np.fft.rfft(tail * np.hanning(window)))
    spectrum[0] = 0.0
    peak = np.argmax(spectrum) * RECORD_RATE / window
    return abs(peak - frequency) <= 2 * RECORD_RATE / window
