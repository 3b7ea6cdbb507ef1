"""Twenty /s runs in a row under Wine: each starts the renderer and ends with it, and
none leaves a process or an open handle behind in the prefix's wineserver. And the
filter that tells the saver's processes from the rest of the prefix's."""

import os
import shutil

from saver_host import saver  # noqa: F401  (a fixture)
from saver_host import PROGRAMS, prefix_images, prefix_processes, programs_running, \
    saver_processes, start
from winehost import wait_until

RUNS = 20
# Descriptors the wineserver may hold more after the last run than after the first
# without anything leaking: none are expected, one is the margin for timing.
FD_MARGIN = 1


def wineserver_fds(prefix):
    servers = [pid for pid, command in prefix_processes(prefix).items()
               if os.path.basename(command.split(" ")[0]).startswith("wineserver")]
    assert len(servers) == 1, f"expected one wineserver for the prefix, found {servers}"
    return len(os.listdir(f"/proc/{servers[0]}/fd"))


def one_run(screen, prefix, folder, number):
    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 15, what=f"run {number}'s front end to end")
    assert front.returncode == 0, f"run {number} ended with {front.returncode}"
    wait_until(lambda: not saver_processes(prefix), 10,
               what=f"no Sorvanta process left after run {number}")
    wait_until(lambda: not screen.windows("^Sorvanta_VC$"), 10,
               what=f"run {number}'s renderer window to go")


def test_twenty_runs_end_cleanly_without_handle_growth(saver):
    screen, prefix, folder, wintool = saver
    # A program that stays up keeps the wineserver and Wine's own processes alive
    # between runs, so their descriptors and processes can be compared run to run.
    keeper = prefix.start([wintool.exe, "host", "16", "16"])
    try:
        screen.wait_window("^Sorvanta host$", timeout=60)
        one_run(screen, prefix, folder, 1)
        processes_after_first = sorted(prefix_processes(prefix).values())
        fds_after_first = wineserver_fds(prefix)
        fds = [fds_after_first]
        for number in range(2, RUNS + 1):
            one_run(screen, prefix, folder, number)
            fds.append(wineserver_fds(prefix))
            assert sorted(prefix_processes(prefix).values()) == processes_after_first, \
                f"the prefix's processes changed after run {number}"
        print(f"wineserver descriptors after each run: {fds}; processes: {processes_after_first}")
        assert max(fds) <= fds_after_first + FD_MARGIN, \
            f"the wineserver's descriptors grew over the runs: {fds}"
    finally:
        keeper.kill()


def test_the_saver_is_told_by_its_programs_not_by_a_folder_named_sorvanta(saver, tmp_path):
    """A clone often lives in a folder named sorvanta, and the tests' own helper programs
    run from inside it: a keeper started from there is none of the saver's processes,
    while the saver's front end and renderer are, until they end."""
    screen, prefix, folder, wintool = saver
    keeper_folder = tmp_path / "My Sorvanta" / "sorvanta"
    keeper_folder.mkdir(parents=True)
    keeper = prefix.start([shutil.copy2(wintool.exe, keeper_folder), "host", "16", "16"])
    try:
        screen.wait_window("^Sorvanta host$", timeout=60)
        assert keeper.pid in prefix_images(prefix), "the keeper is not among the prefix's"
        assert (saver_processes(prefix), programs_running(prefix, *PROGRAMS)) == ({}, []), \
            "the keeper counted as a Sorvanta program"
        front = start(prefix, folder, "/s")
        window = screen.wait_window("^Sorvanta_VC$", timeout=60)
        running = wait_until(lambda: len(saver_processes(prefix)) == 2 and saver_processes(prefix),
                             10, what="the front end and the renderer among the prefix's")
        assert front.pid in running and keeper.pid not in running, running
        assert sorted(programs_running(prefix, *PROGRAMS)) == sorted(running)
        screen.key(window, "Escape")
        wait_until(lambda: front.poll() is not None, 15, what="the front end to end")
        wait_until(lambda: not saver_processes(prefix), 10, what="no Sorvanta process left")
        assert keeper.poll() is None, "the keeper ended with the saver"
    finally:
        keeper.kill()
