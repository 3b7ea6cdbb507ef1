"""Runs the saver many times in a row under Wine for scripts/soak (see there).

    /usr/bin/python3 scripts/soak_saver.py build/windows N

Each cycle starts "Sorvanta.scr /s", waits for the renderer's window, presses Escape in
it and waits until both programs have gone. Everything runs on one virtual screen and
one warm wineserver (a small window program stays up in the prefix). A cycle misses when
no window comes within 30 s, the front end is still alive 20 s after Escape, the front
end ends with a non-zero code, or a Sorvanta process of the prefix is still alive (not a
zombie) 10 s after the front end ended. For each miss it keeps that cycle's Wine log
(err channel), the window tree, the live processes with their threads, Wine's backtraces
of them and a screenshot, in build/soak/<date-time>/run-NNNN/.
"""

import math
import os
import shutil
import signal
import statistics
import subprocess
import sys
import time
from datetime import datetime
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
from saver_host import install, prefix_processes, saver_processes, start  # noqa: E402
from winehost import (Screen, WinePrefix, clone_prefix, template_ready,  # noqa: E402
                      template_root, wait_until)

WINDOW = "^Sorvanta_VC$"
WINDOW_SECONDS = 30
EXIT_SECONDS = 20
LEFTOVER_SECONDS = 10
POLL_SECONDS = 0.05
# Only the err channel: what Wine itself reports as going wrong.
WINE_LOG_ENV = {"WINEDEBUG": "-all,err+all"}


class Cycle:
    """What one cycle saw: its times in seconds (None when not reached) and its misses."""

    def __init__(self, number):
        self.number = number
        self.window_after_start = None
        self.exit_after_escape = None
        self.misses = []


def poll(predicate, seconds):
    """Polls until predicate returns a true value or the time is up; returns the value."""
    try:
        return wait_until(predicate, seconds, interval=POLL_SECONDS)
    except TimeoutError:
        return None


def write_text(path, text):
    path.write_text(text, errors="replace")


def command_output(args, env=None, timeout=60):
    try:
        result = subprocess.run(args, env=env, capture_output=True, text=True, errors="replace",
                                timeout=timeout)
        return result.stdout + result.stderr
    except (OSError, subprocess.TimeoutExpired) as error:
        return f"{' '.join(map(str, args))}: {error}\n"


def proc_field(pid, name):
    try:
        return Path(f"/proc/{pid}/{name}").read_text(errors="replace").strip()
    except OSError:
        return "?"


def describe_processes(prefix):
    """The prefix's live processes, each with its threads' names, states and kernel waits,
    then every Wine or Sorvanta process and every zombie on the machine."""
    lines = []
    for pid, command in sorted(prefix_processes(prefix).items()):
        status = dict(line.split(":", 1) for line in proc_field(pid, "status").splitlines()
                      if ":" in line)
        lines.append(f"{pid} ppid {status.get('PPid', '?').strip()} "
                     f"{status.get('State', '?').strip()}: {command}")
        for task in sorted(Path(f"/proc/{pid}/task").glob("*"), key=lambda p: int(p.name)):
            tid = task.name
            lines.append(f"    thread {tid} {proc_field(f'{pid}/task/{tid}', 'comm')} "
                         f"state {proc_field(f'{pid}/task/{tid}', 'stat').split(') ')[-1][:1]} "
                         f"wchan {proc_field(f'{pid}/task/{tid}', 'wchan')}")
    lines.append("")
    table = command_output(["ps", "-eo", "pid,ppid,stat,etime,args"]).splitlines()
    lines += table[:1] + [line for line in table[1:] if is_wine_or_zombie(line)]
    return "\n".join(lines) + "\n"


def is_wine_or_zombie(ps_line):
    fields = ps_line.split(None, 4)
    return len(fields) == 5 and (fields[2].startswith("Z") or "wine" in fields[4].lower()
                                 or "sorvanta" in fields[4].lower())


def window_tree(screen):
    """xwininfo's window tree, then the full description (map state included) of each
    window whose name starts with Sorvanta."""
    tree = command_output(["xwininfo", "-root", "-tree", "-display", screen.display])
    named = [line.split()[0] for line in tree.splitlines() if '"Sorvanta' in line]
    details = [command_output(["xwininfo", "-id", window, "-display", screen.display])
               for window in named]
    return "\n".join([tree, *details])


def keep_evidence(folder, screen, prefix, log_path):
    """What the screen and the prefix show right now, before anything is ended."""
    folder.mkdir(parents=True, exist_ok=True)
    write_text(folder / "processes.txt", describe_processes(prefix))
    write_text(folder / "xwininfo.txt", window_tree(screen))
    try:
        screen.screenshot(folder / "screen.png")
    except subprocess.CalledProcessError as error:
        write_text(folder / "screen-failed.txt", str(error))
    # Where each thread of each Wine process stands, from Wine's own debugger.
    write_text(folder / "backtraces.txt",
               command_output(["winedbg", "--command", "bt all"], env=prefix.env(), timeout=120))
    if log_path.exists():
        shutil.copy2(log_path, folder / "wine-err.log")


def end_leftovers(prefix, front):
    """Ends the cycle's own processes that are still alive, by their ids."""
    for pid in saver_processes(prefix):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    if front.poll() is None:
        front.kill()
    front.wait(30)
    poll(lambda: not saver_processes(prefix), LEFTOVER_SECONDS)


def run_cycle(cycle, screen, prefix, folder, log_path):
    """One start, Escape and end; fills in cycle and returns whether evidence is wanted now
    (before ending what is left)."""
    with open(log_path, "wb") as log:
        started = time.monotonic()
        front = start(prefix, folder, "/s", extra_env=WINE_LOG_ENV, stderr=log)
        window = poll(lambda: screen.windows(WINDOW) or front.poll() is not None, WINDOW_SECONDS)
        if not isinstance(window, list):
            ended = front.poll()
            cycle.misses.append(f"no window in {WINDOW_SECONDS} s" if ended is None else
                                f"no window; the front end ended with {ended}")
            return front
        cycle.window_after_start = time.monotonic() - started
        escaped = time.monotonic()
        try:
            screen.key(window[0], "Escape")
        except RuntimeError as error:  # the window went before the key reached it
            cycle.misses.append(f"Escape not delivered: {error}")
        if poll(lambda: front.poll() is not None, EXIT_SECONDS) is None:
            cycle.misses.append(f"front end alive {EXIT_SECONDS} s after Escape")
            return front
        cycle.exit_after_escape = time.monotonic() - escaped
        if front.returncode != 0:
            cycle.misses.append(f"front end exited with {front.returncode}")
        if poll(lambda: not saver_processes(prefix), LEFTOVER_SECONDS) is None:
            left = "; ".join(f"{pid} {command}" for pid, command in
                             saver_processes(prefix).items())
            cycle.misses.append(f"Sorvanta process left behind: {left}")
        if poll(lambda: not screen.windows(WINDOW), LEFTOVER_SECONDS) is None:
            cycle.misses.append("the renderer's window is still shown")
        return front


def percentile(values, fraction):
    """The nearest-rank percentile of a list of numbers."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(fraction * len(ordered)) - 1)]


def seconds(value):
    return f"{value:.2f} s"


def summary(cycles):
    clean = sum(1 for c in cycles if not c.misses)
    windows = [c.window_after_start for c in cycles if c.window_after_start is not None]
    exits = [c.exit_after_escape for c in cycles if c.exit_after_escape is not None]
    window_part = (f"median {seconds(statistics.median(windows))} p99 "
                   f"{seconds(percentile(windows, 0.99))} max {seconds(max(windows))}"
                   if windows else "none")
    exit_part = (f"median {seconds(statistics.median(exits))} max {seconds(max(exits))}"
                 if exits else "none")
    return (f"soak {len(cycles)} runs: {clean} clean, {len(cycles) - clean} misses; "
            f"window after start {window_part}; exit after Escape {exit_part}")


def prepare_prefix(build, root, screen):
    if root.exists():
        WinePrefix(root).stop_server()
        shutil.rmtree(root)
    if template_ready(build):
        return clone_prefix(WinePrefix(template_root(build)), root, screen)
    return WinePrefix(root, screen).boot()


def soak(build, runs, out):
    cycles = []
    screen = Screen(1024, 768)
    prefix = None
    keeper = None
    try:
        prefix = prepare_prefix(build, build / "soak" / "prefix", screen)
        folder = install(build, prefix)
        # A program that stays up keeps the wineserver warm between runs, as on a desktop.
        keeper_log = open(out / "keeper-wine.log", "wb")
        keeper = subprocess.Popen(["wine", str(build / "tests" / "e2e" / "wintool.exe"), "host",
                                   "16", "16"], env={**prefix.env(), **WINE_LOG_ENV},
                                  stdout=subprocess.DEVNULL, stderr=keeper_log)
        screen.wait_window("^Sorvanta host$", timeout=120)
        log_path = out / "cycle-wine.log"
        for number in range(1, runs + 1):
            cycle = Cycle(number)
            front = run_cycle(cycle, screen, prefix, folder, log_path)
            cycles.append(cycle)
            with open(out / "times.csv", "a") as times:
                times.write(f"{number},{cycle.window_after_start},{cycle.exit_after_escape},"
                            f"{'|'.join(cycle.misses)}\n")
            if cycle.misses:
                evidence = out / f"run-{number:04d}"
                keep_evidence(evidence, screen, prefix, log_path)
                end_leftovers(prefix, front)
                print(f"run {number}: {'; '.join(cycle.misses)} (kept in {evidence})", flush=True)
            if number % 50 == 0:
                missed = sum(1 for c in cycles if c.misses)
                print(f"soak: {number} of {runs} runs, {missed} misses", file=sys.stderr,
                      flush=True)
    finally:
        if keeper is not None:
            keeper.kill()
            keeper.wait(30)
        if prefix is not None:
            prefix.stop_server()
            shutil.rmtree(prefix.root, ignore_errors=True)
        screen.stop()
        if cycles:
            print(summary(cycles), flush=True)
    return all(not c.misses for c in cycles) and len(cycles) == runs


def main():
    build, runs = Path(sys.argv[1]).resolve(), int(sys.argv[2])
    out = build / "soak" / datetime.now().strftime("%Y%m%d-%H%M%S")
    out.mkdir(parents=True)
    print(f"soak: {runs} runs; misses are kept in {out}", file=sys.stderr, flush=True)
    # A SIGTERM (or Ctrl-C) ends the soak early with the summary of the runs made so far.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    sys.exit(0 if soak(build, runs, out) else 1)


if __name__ == "__main__":
    main()
