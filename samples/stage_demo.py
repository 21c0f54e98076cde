#!/usr/bin/env python3
"""Stages the demo product for packing: a copy of samples/demo with the demo's own program,
built by the win build, in its files folder (the program is a build output, so the product
folder in the source tree lacks it).

    stage_demo.py PROGRAM_EXE OUT_FOLDER
"""
import shutil
import sys
from pathlib import Path

DEMO = Path(__file__).resolve().parent / "demo"
PROGRAM_NAME = "CorvaneDemo.exe"


def stage(program, out):
    """Copies the demo to `out` (replacing it) with `program` as files/CorvaneDemo.exe."""
    program, out = Path(program), Path(out)
    if not program.is_file():
        raise SystemExit(f"stage_demo: the demo program {program} is missing; build the win tree first")
    if out.exists():
        shutil.rmtree(out)
    shutil.copytree(DEMO, out)
    shutil.copy(program, out / "files" / PROGRAM_NAME)
    return out


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    stage(sys.argv[1], sys.argv[2])
