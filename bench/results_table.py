"""Gathers the lines the benchmarks print into one Markdown table.

    /usr/bin/python3 bench/results_table.py LOG_FOLDER > results.md

LOG_FOLDER holds, per benchmark, NAME.txt (its output) and NAME.cmd (the command that
made it). The lines read are
    figure <benchmark>/<case>: <figure>
    peer ratio <benchmark>/<case>: <ratio>
    floor ratio <benchmark>/<case>: <ratio>
    floor excess <benchmark>/<case>: <milliseconds>
"""

import re
import sys
from pathlib import Path

LINE = re.compile(r"^(figure|peer ratio|floor ratio|floor excess) (\S+): (.+)$")
COLOUR = re.compile(r"\x1b\[[0-9;]*m")


def main():
    folder = Path(sys.argv[1])
    rows = {}  # case -> fields, in the order the cases first appear
    for output in sorted(folder.glob("*.txt")):
        command = (folder / (output.stem + ".cmd")).read_text().strip()
        for line in output.read_text(errors="replace").splitlines():
            match = LINE.match(COLOUR.sub("", line).strip())
            if match:
                kind, case, value = match.groups()
                row = rows.setdefault(case, {"command": command})
                row[kind] = value
    print("| Case | Figure | Peer ratio | Floor ratio | Command |")
    print("|---|---|---|---|---|")
    for case, row in rows.items():
        floor = row.get("floor ratio")
        if floor is None and "floor excess" in row:
            floor = f"+{row['floor excess']} ms"
        print(f"| {case} | {row.get('figure', '—')} | {row.get('peer ratio', '—')} | "
              f"{floor or '—'} | `{row['command']}` |")


if __name__ == "__main__":
    main()
