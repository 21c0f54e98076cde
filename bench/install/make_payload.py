#!/usr/bin/env python3
"""Writes the install benchmark's payload: 5000 files, about 195 MB, in 50 folders, from 2 KB
to 120 KB each; a third random bytes, the rest text-like. The same seed gives the same bytes.

    make_payload.py OUT_DIR [--files N] [--total-mb MB] [--seed S]

Files are OUT_DIR/dNN/fNNNN.txt (text-like) or .bin (random). A stamp file records the
parameters; a second run with the same ones leaves the payload alone."""
import argparse
import json
import random
import shutil
import sys
from pathlib import Path

FOLDERS = 50
MIN_SIZE = 2 * 1024
MAX_SIZE = 120 * 1024
WORDS = [b"setup ", b"install ", b"folder ", b"Corvane ", b"\r\n", b"value=", b"the ", b"of ",
         b"and ", b"program ", b"windows ", b"file ", b"copy ", b"disk ", b"registry ", b"0x1F ",
         b"[Section]\r\n", b"The quick brown fox jumps over the lazy dog. ", b"; comment ",
         b"#include <windows.h>\r\n", b"return 0;\r\n"]


def sizes(rng, count, total):
    """Sizes between MIN_SIZE and MAX_SIZE, most of them small, summing to about `total`."""
    # u**2.2 leans towards small files; the mean then lies near 39 KB, and a final scaling
    # puts the sum on the target.
    raw = [MIN_SIZE + (MAX_SIZE - MIN_SIZE) * rng.random() ** 2.2 for _ in range(count)]
    scale = total / sum(raw)
    return [min(MAX_SIZE, max(MIN_SIZE, int(s * scale))) for s in raw]


def text_corpus(rng, size):
    """Text of words drawn one by one, with made-up words now and then, so that matches stay
    short as in real text; each text file is a slice of it."""
    out = bytearray()
    while len(out) < size:
        for n, word in enumerate(rng.choices(WORDS, k=4096)):
            out += word
            if n % 5 == 0:
                out += bytes(rng.choices(range(97, 123), k=rng.randrange(2, 9))) + b" "
    return bytes(out[:size])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out_dir", type=Path)
    parser.add_argument("--files", type=int, default=5000)
    parser.add_argument("--total-mb", type=float, default=195)
    parser.add_argument("--seed", type=int, default=11)
    args = parser.parse_args()

    params = {"files": args.files, "total_mb": args.total_mb, "seed": args.seed, "version": 2}
    stamp = args.out_dir / ".payload.json"
    if stamp.exists() and json.loads(stamp.read_text()) == params:
        print(f"payload: {args.out_dir} is up to date")
        return 0
    if args.out_dir.exists():
        shutil.rmtree(args.out_dir)

    rng = random.Random(args.seed)
    corpus = text_corpus(rng, 8 * 1024 * 1024)
    total = 0
    for i, size in enumerate(sizes(rng, args.files, args.total_mb * 1e6)):
        folder = args.out_dir / f"d{i % FOLDERS:02}"
        folder.mkdir(parents=True, exist_ok=True)
        if i % 3 == 0:
            data, ext = rng.randbytes(size), "bin"
        else:
            start = rng.randrange(len(corpus) - size)
            data, ext = corpus[start:start + size], "txt"
        (folder / f"f{i:04}.{ext}").write_bytes(data)
        total += size
    stamp.write_text(json.dumps(params))
    print(f"payload: {args.files} files, {total / 1e6:.1f} MB in {FOLDERS} folders, {args.out_dir}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
