#!/usr/bin/env python3
"""The timed part of the uninstall benchmark; run.sh runs it inside the Wine harness (which sets
WINEPREFIX and DISPLAY), holding the Wine lock.

    measure.py --setup-dir DIR --nsis-exe FILE --work DIR [--runs N] [--expect-files N]

Each round installs the product twice, untimed: with the hidden Corvane setup (which copies
cvexec.exe into the Windows folder and registers "cvexec.exe /S <code>") and with the silent NSIS
installer. Then it times both removals, in an order that alternates from round to round:
`cvexec.exe /S CorvaneBench`, and the NSIS uninstaller run in place (`_?=` keeps it from
copying itself away and returning at once; it cannot then delete itself, so its folder keeps
uninstall.exe). One warm-up round is not counted. Prints each round, the medians and the ratio."""
import argparse
import os
import statistics
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "install"))
from measure import (NSIS_CODE, NSIS_FOLDER, SETUP_CODE, Machine, count_files,  # noqa: E402
                     timed)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--setup-dir", type=Path, required=True)
    parser.add_argument("--nsis-exe", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--expect-files", type=int, default=5000)
    args = parser.parse_args()

    prefix = Path(os.environ["WINEPREFIX"])
    args.work.mkdir(parents=True, exist_ok=True)
    subprocess.run(["wineserver", "-p"], check=False)  # one wineserver for every run
    machine = Machine(prefix, args.work)
    cvexec = prefix / "drive_c" / "windows" / "cvexec.exe"

    def install():
        machine.clean()
        _, rc = timed(["wine", "setup.exe"], cwd=args.setup_dir)
        files = count_files(machine.setup_dir)
        if rc != 0 or files != args.expect_files or not cvexec.exists():
            raise SystemExit(f"measure: the setup ended with {rc}, installed {files} of "
                             f"{args.expect_files} files, cvexec.exe {'is' if cvexec.exists() else 'is not'} "
                             f"in the Windows folder")
        _, rc = timed(["wine", str(args.nsis_exe), "/S", "/D=" + NSIS_FOLDER])
        files = count_files(machine.nsis_dir) - 1  # its uninstaller
        if rc != 0 or files != args.expect_files:
            raise SystemExit(f"measure: the NSIS installer ended with {rc} and installed {files} files")

    def remove_setup():
        seconds, rc = timed(["wine", r"C:\windows\cvexec.exe", "/S", SETUP_CODE])
        left = count_files(machine.setup_dir)
        if rc != 0 or left != 0 or machine.registered(SETUP_CODE):
            raise SystemExit(f"measure: cvexec /S ended with {rc} and left {left} files"
                             f"{' and its registration' if machine.registered(SETUP_CODE) else ''}")
        return seconds

    def remove_nsis():
        seconds, rc = timed(["wine", str(machine.nsis_dir / "uninstall.exe"), "/S", "_?=" + NSIS_FOLDER])
        left = count_files(machine.nsis_dir)
        if rc != 0 or left > 1 or machine.registered(NSIS_CODE):
            raise SystemExit(f"measure: the NSIS uninstaller ended with {rc} and left {left} files")
        return seconds

    removers = {"cvexec": remove_setup, "nsis": remove_nsis}
    results = {"cvexec": [], "nsis": []}
    print(f"{'round':>5}  {'first':6}  {'cvexec s':>8}  {'nsis s':>7}", flush=True)
    for round_number in range(args.runs + 1):
        install()
        order = ("cvexec", "nsis") if round_number % 2 == 0 else ("nsis", "cvexec")
        current = {name: removers[name]() for name in order}
        label = "warm" if round_number == 0 else str(round_number)
        print(f"{label:>5}  {order[0]:6}  {current['cvexec']:8.2f}  {current['nsis']:7.2f}", flush=True)
        if round_number > 0:
            for name in results:
                results[name].append(current[name])
    machine.clean()

    ours = statistics.median(results["cvexec"])
    nsis = statistics.median(results["nsis"])
    print()
    print(f"median of {args.runs}: cvexec /S {ours:.2f} s, NSIS uninstaller {nsis:.2f} s")
    # The rounds' own ratios: a round's two removals ran a minute apart at most, so a busy
    # machine slows both of them more alike than it slows two rounds.
    paired = statistics.median(o / n for o, n in zip(results["cvexec"], results["nsis"]))
    print(f"median of the rounds' ratios: {paired:.2f}")
    print(f"uninstall cvexec /S / NSIS: {ours / nsis:.2f}   (goal: at most 1.0)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
