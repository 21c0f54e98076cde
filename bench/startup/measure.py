#!/usr/bin/env python3
"""The timed part of the start-up benchmark; run.sh runs it inside the Wine harness (which sets
WINEPREFIX and DISPLAY), holding the Wine lock.

    measure.py --folder DIR [--runs N]

DIR holds startup_clock.exe, bare_window.exe, bare_window_imports.exe (the bare window
loading the libraries setup.exe imports) and the demo's setup folders "setup" (one cabinet,
unpacked behind the start page) and "image" (disk image). Each round starts the four
programs through the clock, in an order that rotates from round to round, after one warm-up
round that is not counted. The clock times each from its start until its first window is
shown: the setup's trace line "15" (after the first wizard page opened), the bare window's
"shown". Between runs the setup's work folders are removed. Prints each round, the medians
and the ratios to the bare window."""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
from pathlib import Path

SETUP_MARKER = "15"     # the setup's trace line after its first wizard page is shown
BARE_MARKER = "shown"


def win_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def remove_work_folders(prefix):
    """The setup's work folders ("cv" and the time of day) that an ended run leaves."""
    for temp in prefix.glob("drive_c/users/*/**/Temp"):
        for leftover in temp.glob("cv[0-9][0-9][0-9][0-9][0-9][0-9]"):
            shutil.rmtree(leftover, ignore_errors=True)


def clocked(folder, marker, work, program):
    result = folder / "startup.txt"
    result.unlink(missing_ok=True)
    proc = subprocess.run(["wine", str(folder / "startup_clock.exe"), marker, win_path(result),
                           win_path(work), win_path(program)],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    if proc.returncode != 0 or not result.exists():
        raise SystemExit(f"measure: {program} did not show its first window (clock exit {proc.returncode})")
    return float(result.read_text().split()[0]) / 1000.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--folder", type=Path, required=True)
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    prefix = Path(os.environ["WINEPREFIX"])
    folder = args.folder
    subprocess.run(["wineserver", "-p"], check=False)  # one wineserver for every run

    programs = {
        "bare": (BARE_MARKER, folder, folder / "bare_window.exe"),
        "imports": (BARE_MARKER, folder, folder / "bare_window_imports.exe"),
        "cabinet": (SETUP_MARKER, folder / "setup", folder / "setup" / "setup.exe"),
        "image": (SETUP_MARKER, folder / "image", folder / "image" / "setup.exe"),
    }
    for name, (_, work, exe) in programs.items():
        if not exe.exists():
            raise SystemExit(f"measure: {exe} is missing")
    names = list(programs)
    results = {name: [] for name in names}
    remove_work_folders(prefix)
    print(f"{'round':>5}  {'bare s':>7}  {'imports s':>9}  {'cabinet s':>9}  {'image s':>7}", flush=True)
    for round_number in range(args.runs + 1):
        shift = round_number % len(names)
        current = {}
        for name in names[shift:] + names[:shift]:
            marker, work, exe = programs[name]
            current[name] = clocked(folder, marker, work, exe)
            remove_work_folders(prefix)
        label = "warm" if round_number == 0 else str(round_number)
        print(f"{label:>5}  {current['bare']:7.3f}  {current['imports']:9.3f}  {current['cabinet']:9.3f}  "
              f"{current['image']:7.3f}", flush=True)
        if round_number > 0:
            for name in names:
                results[name].append(current[name])

    median = {name: statistics.median(values) for name, values in results.items()}
    print()
    print(f"median of {args.runs}: bare window {median['bare']:.3f} s (with the setup's libraries "
          f"{median['imports']:.3f} s), setup with unpacking "
          f"{median['cabinet']:.3f} s, setup from a disk image {median['image']:.3f} s")
    # The rounds' own ratios: a round's runs lie seconds apart, so a busy machine slows them
    # more alike than it slows two rounds.
    def paired(name):
        return statistics.median(r / b for r, b in zip(results[name], results["bare"]))
    print(f"medians of the rounds' ratios: libraries {paired('imports'):.2f}, with unpacking "
          f"{paired('cabinet'):.2f}, disk image {paired('image'):.2f}")
    print(f"bare window with the setup's libraries / bare window: {median['imports'] / median['bare']:.2f}")
    print(f"start-up with unpacking / bare window: {median['cabinet'] / median['bare']:.2f}")
    print(f"start-up from a disk image / bare window: {median['image'] / median['bare']:.2f}   (goal: at most 1.5)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
