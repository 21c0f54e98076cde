#!/usr/bin/env python3
"""Stages the demo product for packing: a copy of samples/demo with the demo's own program,
built by the win build, in its files folder (the program is a build output, so the product
folder in the source tree lacks it). With --sample-files N it also gives the product N
generated sample documents (about 32 KB each, installed into <InstallDir>\\Samples), so that
the installation lasts long enough for its progress bar to be seen moving.

    stage_demo.py [--sample-files N] PROGRAM_EXE OUT_FOLDER
"""
import random
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


def add_sample_files(product, count):
    """`count` text documents in files/samples and their data.inf records."""
    folder = Path(product) / "files" / "samples"
    folder.mkdir(parents=True, exist_ok=True)
    words = ["setup", "install", "folder", "Corvane", "demo", "sample", "document", "page", "line"]
    rng = random.Random(7)
    records = []
    for i in range(count):
        name = f"sample{i:04}.txt"
        lines = [" ".join(rng.choice(words) for _ in range(12)) for _ in range(450)]
        (folder / name).write_bytes(("\r\n".join(lines) + "\r\n").encode())
        records.append(f"files/samples/{name}\nDestination Computer\\<InstallDir>\\Samples*0*0*0|Documentation\n")
    with open(Path(product) / "data.inf", "ab") as data:
        data.write("".join(records).encode())


if __name__ == "__main__":
    args = sys.argv[1:]
    samples = 0
    if args[:1] == ["--sample-files"] and len(args) >= 2:
        samples = int(args[1])
        args = args[2:]
    if len(args) != 2:
        raise SystemExit(__doc__)
    staged = stage(args[0], args[1])
    if samples:
        add_sample_files(staged, samples)
