#!/usr/bin/env python3
"""The timed part of the install benchmark; run.sh runs it inside the Wine harness (which sets
WINEPREFIX and DISPLAY), holding the Wine lock.

    measure.py --setup-dir DIR --nsis-exe FILE --trace-clock FILE --work DIR [--runs N]
               [--expect-files N]

Runs the hidden Corvane setup and the silent NSIS installer N times each, interleaved (the
order alternates from round to round), after one warm-up run of each that is not counted.
Every run starts from a clean machine: both install folders, the uninstall log folder, the
setup's leftover work folders and both uninstall registrations are removed before it. Prints
each run, the medians, and the ratios of the setup's whole run and of its install step to
NSIS. The install step is the time from the trace line "StartCopyNowTH 1" to
"StartCopyNowTH 2", as recorded by the trace clock (trace_clock.exe)."""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

UNINSTALL = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall"
SETUP_CODE = "CorvaneBench"       # [APPINFO] a3 of bench/install/setup.inf
NSIS_CODE = "CorvaneBenchNsis"    # UNINSTALL_KEY of bench/install/bench.nsi
SETUP_FOLDER = r"C:\cvbench\corvane"
NSIS_FOLDER = r"C:\cvbench\nsis"
RUN_LIMIT = 600                   # seconds; a run that takes longer is a hang


def win_path(path):
    """The Windows form of a Unix path under Wine's Z: drive."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def unix_path(prefix, windows):
    """The Unix path of a C: path inside the prefix."""
    return prefix / "drive_c" / windows[3:].replace("\\", "/")


def wine(*args, **kwargs):
    return subprocess.run(["wine", *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=120, **kwargs)


def count_files(folder):
    return sum(1 for p in folder.rglob("*") if p.is_file()) if folder.exists() else 0


def count_log_files(log):
    """The "FILE" lines of the setup's uninstall log, or 0 without a log."""
    if not log.exists():
        return 0
    lines = log.read_bytes().decode("cp1252", errors="replace").splitlines()
    return sum(1 for line in lines if line.startswith("FILE="))


class Machine:
    """The prefix's state that one run leaves behind, and its removal."""

    def __init__(self, prefix, work):
        self.prefix = prefix
        self.setup_dir = unix_path(prefix, SETUP_FOLDER)
        self.nsis_dir = unix_path(prefix, NSIS_FOLDER)
        self.log_dir = prefix / "drive_c" / "windows" / "Installer" / SETUP_CODE
        self.log = self.log_dir / "uninstall.log"
        self.reg_file = work / "remove-registration.reg"
        self.reg_file.write_text(f"REGEDIT4\r\n\r\n[-{UNINSTALL}\\{SETUP_CODE}]\r\n\r\n"
                                 f"[-{UNINSTALL}\\{NSIS_CODE}]\r\n\r\n")

    def registered(self, code):
        return wine("reg", "query", f"{UNINSTALL}\\{code}").returncode == 0

    def clean(self):
        for folder in (self.setup_dir, self.nsis_dir, self.log_dir):
            shutil.rmtree(folder, ignore_errors=True)
        # Work folders the setup did not remove ("cv" and the time of day).
        for temp in self.prefix.glob("drive_c/users/*/**/Temp"):
            for leftover in temp.glob("cv[0-9][0-9][0-9][0-9][0-9][0-9]"):
                shutil.rmtree(leftover, ignore_errors=True)
        wine("regedit", "/S", win_path(self.reg_file))


class TraceClock:
    """trace_clock.exe, the AmbrelEvent window that records trace lines with milliseconds."""

    def __init__(self, exe, path):
        self.path = path
        path.unlink(missing_ok=True)
        self.proc = subprocess.Popen(["wine", str(exe), win_path(path)],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 60
        while not (path.exists() and "ready" in path.read_text(errors="replace")):
            if time.monotonic() > deadline or self.proc.poll() is not None:
                raise SystemExit("measure: the trace clock did not start")
            time.sleep(0.1)

    def offset(self):
        return self.path.stat().st_size

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()

    def lines_since(self, offset):
        with open(self.path, "rb") as f:
            f.seek(offset)
            text = f.read().decode("cp1252", errors="replace")
        for line in text.splitlines():
            at, _, message = line.partition(" ")
            yield float(at), message


def install_step(lines):
    """Seconds from "StartCopyNowTH 1" to "StartCopyNowTH 2", or None without both."""
    start = end = None
    for at, message in lines:
        # The setup's line is "(HH:MM:SS) -TEXT*"; the star keeps "1" apart from "11".
        if re.search(r"-StartCopyNowTH 1\*$", message) and start is None:
            start = at
        elif re.search(r"-StartCopyNowTH 2\*$", message) and start is not None:
            end = at
    return (end - start) / 1000.0 if start is not None and end is not None else None


def timed(command, cwd=None):
    start = time.perf_counter()
    proc = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        rc = proc.wait(timeout=RUN_LIMIT)
    except subprocess.TimeoutExpired:
        proc.kill()
        subprocess.run(["wineserver", "-k"], check=False)
        raise SystemExit(f"measure: {' '.join(command)} did not end within {RUN_LIMIT} s")
    return time.perf_counter() - start, rc


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--setup-dir", type=Path, required=True)
    parser.add_argument("--nsis-exe", type=Path, required=True)
    parser.add_argument("--trace-clock", type=Path, required=True)
    parser.add_argument("--work", type=Path, required=True)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--expect-files", type=int, default=5000)
    args = parser.parse_args()

    prefix = Path(os.environ["WINEPREFIX"])
    args.work.mkdir(parents=True, exist_ok=True)
    # One wineserver for every run, so that no run pays for starting it.
    subprocess.run(["wineserver", "-p"], check=False)
    machine = Machine(prefix, args.work)
    clock = TraceClock(args.trace_clock, args.work / "trace.txt")
    try:
        return measure(args, machine, clock)
    finally:
        clock.stop()


def measure(args, machine, clock):
    machine.clean()

    def run_setup():
        offset = clock.offset()
        seconds, rc = timed(["wine", "setup.exe"], cwd=args.setup_dir)
        # The setup sends each line and waits for the clock to take it, so every line is in
        # the file once the setup has ended.
        lines = list(clock.lines_since(offset))
        return {"seconds": seconds, "rc": rc, "step": install_step(lines),
                "files": count_files(machine.setup_dir), "logged": count_log_files(machine.log),
                "traces": len(lines)}

    def run_nsis():
        seconds, rc = timed(["wine", str(args.nsis_exe), "/S", "/D=" + NSIS_FOLDER])
        files = count_files(machine.nsis_dir) - 1  # its uninstaller
        if rc != 0 or files != args.expect_files:
            raise SystemExit(f"measure: the NSIS installer ended with {rc} and installed {files} "
                             f"of {args.expect_files} files")
        return {"seconds": seconds, "rc": rc, "files": files}

    runners = {"setup": run_setup, "nsis": run_nsis}
    for name, run in runners.items():
        result = run()
        logged = f", {result['logged']} FILE lines in its uninstall log" if "logged" in result else ""
        print(f"warm-up {name:5}: {result['seconds']:7.2f} s, exit code {result['rc']}, "
              f"{result['files']} files installed{logged}", flush=True)
    print(f"registered: setup {'yes' if machine.registered(SETUP_CODE) else 'no'}, "
          f"nsis {'yes' if machine.registered(NSIS_CODE) else 'no'}", flush=True)
    machine.clean()

    results = {"setup": [], "nsis": []}
    print(f"{'round':>5}  {'first':5}  {'setup s':>8}  {'install s':>9}  {'files':>5}  {'nsis s':>7}")
    for round_number in range(args.runs):
        order = ("setup", "nsis") if round_number % 2 == 0 else ("nsis", "setup")
        current = {}
        for name in order:
            current[name] = runners[name]()
            results[name].append(current[name])
            machine.clean()
        setup, nsis = current["setup"], current["nsis"]
        step = f"{setup['step']:9.2f}" if setup["step"] is not None else f"{'-':>9}"
        print(f"{round_number + 1:5}  {order[0]:5}  {setup['seconds']:8.2f}  {step}  "
              f"{setup['files']:5}  {nsis['seconds']:7.2f}", flush=True)
    leftover = [code for code in (SETUP_CODE, NSIS_CODE) if machine.registered(code)]
    if leftover:
        raise SystemExit(f"measure: the registrations of {', '.join(leftover)} survived the clean-up")

    whole = statistics.median(r["seconds"] for r in results["setup"])
    nsis = statistics.median(r["seconds"] for r in results["nsis"])
    steps = [r["step"] for r in results["setup"] if r["step"] is not None]
    print()
    print(f"median of {args.runs}: setup {whole:.2f} s, NSIS {nsis:.2f} s")
    print(f"whole hidden run / NSIS:  {whole / nsis:.2f}   (goal: at most 1.5)")
    if len(steps) == len(results["setup"]):
        step = statistics.median(steps)
        print(f"install step / NSIS:      {step / nsis:.2f}   (install step median {step:.2f} s; goal: at most 1.0)")
    else:
        print("install step / NSIS:      not measured (the setup wrote no \"StartCopyNowTH 1\" and "
              "\"StartCopyNowTH 2\" trace lines)")
    logged = {r["logged"] for r in results["setup"]}
    print(f"setup: {sorted({r['files'] for r in results['setup']})} files installed, "
          f"{sorted(logged)} FILE lines in its uninstall log, for {args.expect_files} files")
    installed = {r["files"] for r in results["setup"]}
    if installed != {args.expect_files}:
        print(f"note: the setup installed {sorted(installed)} of {args.expect_files} files; its "
              f"figures are not comparable with NSIS until it installs them all")
    return 0


if __name__ == "__main__":
    sys.exit(main())
