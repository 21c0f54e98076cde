#!/usr/bin/env python3
"""The soak run: the install benchmark's product (5000 files, about 195 MB) installed by the
silent setup and removed by "cvexec.exe /S" again and again in one prefix. After the last
cycle the machine (registry and every file under drive_c, machine_snapshot.py) is the one
before the first; every setup and uninstaller ends on its own with status 0 and leaves no
process behind. Run by scripts/soak.sh inside the Wine harness; it takes minutes, so it is
not part of `make test`.

    soak.py --setup-dir DIR [--cycles N] [--code CODE] [--folder C:\\...]

Prints one line per cycle with its times and exits with status 1 on the first fault."""
import argparse
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import machine_snapshot  # noqa: E402
from e2e_product import ALLOWED, log_file, unix_path, wine_run  # noqa: E402

RUN_LIMIT = 900  # seconds: a setup or uninstaller that takes longer hangs
PROGRAMS = ("setup.exe", "cvexec.exe")


def windows_processes(names):
    """The Unix processes whose command line names one of `names` (Wine shows a Windows
    program's path as its command line)."""
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            line = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode("latin-1").lower()
        except OSError:
            continue
        if any(name in line for name in names) and "soak.py" not in line:
            found.append(f"{entry.name}: {line.strip()}")
    return found


def timed(command, cwd):
    """Runs a Wine program and waits for its end: (seconds, exit status)."""
    start = time.perf_counter()
    proc = subprocess.Popen(["wine", *command], cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        status = proc.wait(timeout=RUN_LIMIT)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise SystemExit(f"soak: {' '.join(command)} did not end within {RUN_LIMIT} s")
    return time.perf_counter() - start, status


def count_files(folder):
    return sum(1 for p in folder.rglob("*") if p.is_file()) if folder.exists() else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--setup-dir", type=Path, required=True)
    parser.add_argument("--cycles", type=int, default=10)
    parser.add_argument("--code", default="CorvaneBench")
    parser.add_argument("--folder", default="C:\\cvbench\\corvane")
    parser.add_argument("--expect-files", type=int, default=5000)
    args = parser.parse_args()

    faults = []

    def fault(text):
        faults.append(text)
        print(f"FAULT: {text}", flush=True)

    # The shared uninstaller goes at the restart after its last product is removed; one left
    # by an earlier run would differ between the snapshots.
    wine_run("wineboot", "-r")
    before = machine_snapshot.take(wine_run)
    print(f"snapshot before: {len(before)} entries", flush=True)
    total = time.perf_counter()
    for cycle in range(1, args.cycles + 1):
        install_s, status = timed(["setup.exe", "/S"], cwd=args.setup_dir)
        if status != 0:
            fault(f"cycle {cycle}: setup.exe /S ended with {status}")
        installed = count_files(unix_path(args.folder))
        if installed != args.expect_files:
            fault(f"cycle {cycle}: {installed} files installed, not {args.expect_files}")
        left = windows_processes(PROGRAMS)
        if left:
            fault(f"cycle {cycle}: after the setup: {left}")

        remove_s, status = timed(["C:\\windows\\cvexec.exe", "/S", args.code], cwd=args.setup_dir)
        if status != 0:
            fault(f"cycle {cycle}: cvexec.exe /S ended with {status}")
        # The restart that deletes the running uninstaller's own file.
        restart_s, status = timed(["wineboot", "-r"], cwd=args.setup_dir)
        left = windows_processes(PROGRAMS)
        if left:
            fault(f"cycle {cycle}: after the uninstaller: {left}")
        remaining = count_files(unix_path(args.folder))
        if remaining or log_file(args.code).exists():
            fault(f"cycle {cycle}: {remaining} files and the log left after the removal")
        print(f"cycle {cycle:2}: install {install_s:6.1f} s ({installed} files), uninstall {remove_s:5.1f} s, "
              f"restart {restart_s:4.1f} s", flush=True)
        if faults:
            return 1

    after = machine_snapshot.take(wine_run)
    changed = machine_snapshot.difference(before, after, ALLOWED)
    print(f"snapshot after {args.cycles} cycles: {len(after)} entries, {len(changed)} differences "
          f"outside the allowed ones; {time.perf_counter() - total:.0f} s in all", flush=True)
    for line in changed:
        print(f"  {line}")
    return 1 if changed else 0


if __name__ == "__main__":
    sys.exit(main())
