"""From "Sorvanta.scr /s" to the renderer's first frame on a 1024 x 768 Xvfb screen,
measured from outside, run by run, under Wine:

    /usr/bin/python3 bench/saver_start/run_wine.py build/windows [runs]

Xvfb keeps its frame buffer in a memory-mapped file (-fbdir), so the screen is polled
without screenshots: a sparse grid of its pixels every 5 ms, and one long-lived xev
reports when a window is mapped. The observer must stay light, since on two cores a
busy poll (a process started per poll, whole frames compared) takes CPU from the very
start it times. The steps come from the exchange files' times (ext4 keeps birth,
modification and access times in nanoseconds; with relatime the first read after a
write updates the access time):
  start+grab     launch -> the desktop file is created (Wine start, form, grab)
  file writing   desktop file created -> stone file last written
  renderer start stone file written -> the renderer reads its first exchange file
  textures       first exchange file read -> last one read (the renderer's image loading)
  first frame    last exchange file read -> the first drawn frame on the screen
A program that stays up in the prefix keeps the wineserver warm, as on a desktop in use.
Each round also times the floor, the same start made by two trivial programs
(start_floor_launcher.exe and start_floor_gl.exe, whose window is "Sorvanta floor"),
and the last line gives the saver's median over the floor's median.
Then grab_write_bench.exe times the grab and the two writes inside Wine against the
former way of grabbing and reading back.
"""

import os
import shutil
import signal
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
from winehost import WinePrefix, wait_until  # noqa: E402

WIDTH, HEIGHT = 1024, 768
SAMPLE_STEP = 16
POLL_SECONDS = 0.005


class MapWatcher:
    """The times at which windows are mapped on a screen, from one xev that reports
    every MapNotify on the root window's children as it happens."""

    def __init__(self, screen):
        self.times = []
        self.process = subprocess.Popen(
            ["stdbuf", "-oL", "xev", "-display", screen.display, "-root", "-event",
             "substructure"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.process.stdout:
            if line.startswith("MapNotify event"):
                self.times.append(time.time())

    def first_after(self, moment):
        return next((t for t in self.times if t >= moment), None)

    def stop(self):
        self.process.kill()
        self.process.wait(10)


class FrameBufferScreen:
    """An Xvfb whose screen is readable as a memory-mapped XWD file."""

    def __init__(self, fbdir):
        fbdir.mkdir(parents=True, exist_ok=True)
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{WIDTH}x{HEIGHT}x24",
             "-noreset", "-nolisten", "tcp", "-fbdir", str(fbdir)],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            self.display = ":" + pipe.readline().strip()
        raw = np.memmap(fbdir / "Xvfb_screen0", dtype=np.uint8, mode="r")
        header_size = int.from_bytes(raw[0:4].tobytes(), "big")
        colours = int.from_bytes(raw[76:80].tobytes(), "big")
        line = int.from_bytes(raw[48:52].tobytes(), "big")
        start = header_size + colours * 12
        self.pixels = raw[start:start + line * HEIGHT].reshape(HEIGHT, line // 4, 4)[:, :WIDTH, :3]

    def env(self):
        return {"DISPLAY": self.display}

    def frame(self):
        return np.array(self.pixels)

    def sample(self):
        """Every sixteenth pixel of every sixteenth row: cheap enough to poll often."""
        return np.array(self.pixels[::SAMPLE_STEP, ::SAMPLE_STEP])

    def window_shown(self, caption):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", caption],
                                env={**os.environ, **self.env()}, capture_output=True)
        return bool(result.stdout.strip())

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        self.process.wait(10)


def paint_root(screen, folder):
    """Coloured blocks on the root window, so a drawn frame differs from the desktop."""
    rng = np.random.default_rng(3)
    blocks = rng.integers(0, 256, size=(24, 32, 3), dtype=np.uint8)
    picture = np.kron(blocks, np.ones((32, 32, 1), dtype=np.uint8))
    from PIL import Image
    Image.fromarray(picture).save(folder / "root.png")
    subprocess.run(["display", "-display", screen.display, "-window", "root",
                    str(folder / "root.png")], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def is_drawn(frame, desktop):
    """A frame the renderer drew: neither the desktop still showing nor a blank window."""
    changed = np.any(frame != desktop, axis=2).mean()
    black = np.all(frame < 8, axis=2).mean()
    return changed > 0.05 and black < 0.9


def times(path):
    st = os.stat(path)
    birth = float(subprocess.run(["stat", "--format=%.9W", str(path)], capture_output=True,
                                 text=True).stdout)
    return birth, st.st_mtime_ns / 1e9, st.st_atime_ns / 1e9


def until_first_frame(screen, maps, prefix, folder, command, caption, desktop, shot):
    """Starts the command and returns (launched, window mapped, first frame) times,
    then closes the window with Escape and waits for the command to end."""
    frame_at = None
    desktop_sample = desktop[::SAMPLE_STEP, ::SAMPLE_STEP]
    launched = time.time()
    front = subprocess.Popen(["wine", *command], env=prefix.env(), cwd=folder,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = launched + 60
    while frame_at is None and time.time() < deadline:
        if is_drawn(screen.sample(), desktop_sample):
            frame_at = time.time()
        else:
            time.sleep(POLL_SECONDS)
    window_at = maps.first_after(launched)
    if frame_at is not None:
        from PIL import Image
        Image.fromarray(screen.frame()).save(shot)
    wait_until(lambda: screen.window_shown(caption), 15, what="the window")
    subprocess.run(["xdotool", "search", "--name", caption, "key", "--window", "%1",
                    "Escape"], env={**os.environ, **screen.env()}, capture_output=True)
    front.wait(30)
    wait_until(lambda: not screen.window_shown(caption), 15, what="the window to go")
    if frame_at is None or window_at is None:
        raise RuntimeError(f"{shot.name}: no mapped window or drawn frame within 60 s")
    return launched, window_at, frame_at


def one_run(screen, maps, prefix, folder, exchange, desktop, shots, number):
    launched, window_at, frame_at = until_first_frame(
        screen, maps, prefix, folder, [str(folder / "Sorvanta.scr"), "/s"], "^Sorvanta_VC$", desktop,
        shots / f"first-frame-{number}.png")
    d_birth, d_mtime, d_atime = times(exchange / "Sorvanta1.tga")
    t_birth, t_mtime, t_atime = times(exchange / "Sorvanta2.tga")
    ms = lambda a, b: (b - a) * 1000.0  # noqa: E731
    return {
        "start+grab": ms(launched, d_birth),
        "file writing": ms(d_birth, t_mtime),
        "renderer start": ms(t_mtime, min(d_atime, t_atime)),
        "textures": ms(min(d_atime, t_atime), max(d_atime, t_atime)),
        "first frame": ms(max(d_atime, t_atime), frame_at),
        "window mapped": ms(launched, window_at),
        "total": ms(launched, frame_at),
    }, milestones(launched, t_mtime, window_at, frame_at)


def milestones(launched, written, window_at, frame_at):
    """The three moments the saver and the floor share, in ms from the launch: both
    exchange files written (the renderer is started next), its window mapped, and its
    first drawn frame."""
    return {"files written": (written - launched) * 1000.0,
            "window mapped": (window_at - launched) * 1000.0,
            "first frame": (frame_at - launched) * 1000.0}


def floor_run(screen, maps, prefix, folder, desktop, shots, number):
    launched, window_at, frame_at = until_first_frame(
        screen, maps, prefix, folder, [str(folder / "start_floor_launcher.exe")],
        "^Sorvanta floor$", desktop, shots / f"floor-frame-{number}.png")
    _, written, _ = times(prefix.drive_c() / "q_floor" / "stone.tga")
    return milestones(launched, written, window_at, frame_at)


def print_milestones(saver, floor):
    print("  from the launch, medians    saver    floor   excess")
    previous = 0.0
    for moment in saver[0]:
        ours = statistics.median(row[moment] for row in saver)
        least = statistics.median(row[moment] for row in floor)
        print(f"  {moment:24s} {ours:8.1f} {least:8.1f} {ours - least:8.1f}"
              f"   (+{ours - least - previous:.1f} in this part)")
        previous = ours - least


def print_renderer_phases(prefix, program, runs):
    """Medians of renderer_phases.exe's lines ("phase <name>: <ms> ms"), one process a run."""
    phases = {}
    for _ in range(runs):
        result = prefix.run([program], timeout=120, text=True)
        for line in result.stdout.splitlines():
            if line.startswith("phase "):
                name, value = line[len("phase "):].rsplit(": ", 1)
                phases.setdefault(name, []).append(float(value.split()[0]))
    print(f"inside the renderer (renderer_phases.exe, {runs} processes), ms:")
    for name, values in phases.items():
        print(f"  {name:38s} median {statistics.median(values):8.1f}   min {min(values):8.1f}")


def main():
    build = Path(sys.argv[1]).resolve()
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    work = build / "wine" / "bench-start"
    shutil.rmtree(work, ignore_errors=True)
    screen = FrameBufferScreen(work / "fb")
    prefix = WinePrefix(work / "wine", screen)
    keeper = None
    maps = MapWatcher(screen)
    try:
        prefix.boot()
        folder = prefix.drive_c() / "Sorvanta"
        folder.mkdir(parents=True)
        for program in (build / "saver" / "Sorvanta.scr", build / "renderer" / "Sorvanta.dll",
                        build / "bench" / "saver_start" / "start_floor_launcher.exe",
                        build / "bench" / "saver_start" / "start_floor_gl.exe"):
            shutil.copy2(program, folder / program.name)
        keeper = prefix.start([build / "tests" / "e2e" / "wintool.exe", "host", "16", "16"])
        wait_until(lambda: screen.window_shown("^Sorvanta host$"), 60, what="the keeper")
        paint_root(screen, work)
        desktop = screen.frame()
        rows = []
        saver_moments = []
        floor_moments = []
        for n in range(1, runs + 1):  # the saver and the floor in turn
            row, moments = one_run(screen, maps, prefix, folder, prefix.drive_c() / "q_lenn",
                                   desktop, work, n)
            rows.append(row)
            saver_moments.append(moments)
            floor_moments.append(floor_run(screen, maps, prefix, folder, desktop, work, n))
        floor = [moments["first frame"] for moments in floor_moments]
        print(f"{runs} runs of 'Sorvanta.scr /s' on {WIDTH} x {HEIGHT}, ms "
              f"(first frames saved in {work})")
        for step in rows[0]:
            values = [row[step] for row in rows]
            print(f"  {step:15s} median {statistics.median(values):8.1f}   "
                  f"min {min(values):8.1f}   max {max(values):8.1f}")
        print(f"  {'floor total':15s} median {statistics.median(floor):8.1f}   "
              f"min {min(floor):8.1f}   max {max(floor):8.1f}")
        print_milestones(saver_moments, floor_moments)
        total = statistics.median(row["total"] for row in rows)
        inside = prefix.run([build / "bench" / "saver_start" / "grab_write_bench.exe", "20"],
                            timeout=300, text=True)
        print("inside the front end (grab_write_bench.exe):")
        print(inside.stdout, end="")
        print_renderer_phases(prefix, build / "bench" / "saver_start" / "renderer_phases.exe",
                              runs)
        print(f"figure start/first_frame: {total:.1f} ms")
        print(f"floor excess start/first_frame: {total - statistics.median(floor):.1f}")
    finally:
        maps.stop()
        if keeper is not None:
            keeper.kill()
        prefix.stop_server()
        screen.stop()


if __name__ == "__main__":
    main()
