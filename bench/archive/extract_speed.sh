#!/usr/bin/env bash
# Wall time to extract a ~100 MB MSZIP cabinet of mixed text and random data with cvcab,
# cabextract and (when installed) 7z, best of five runs each, with the ratios to cabextract;
# then the LZX and Quantum decode speeds (bench/archive/decode_speed).
#
#   bench/archive/extract_speed.sh [BUILD_DIR]     (a release build: no sanitizers)
set -euo pipefail

build=${1:-build/release}
cvcab="$build/tools/cvcab/cvcab"
[ -x "$cvcab" ] || { echo "no cvcab in $build (build it first)" >&2; exit 1; }
command -v cabextract >/dev/null || { echo "cabextract is not installed" >&2; exit 1; }

work=$(mktemp -d /tmp/cv-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"

# 100 files: text-like ones (compressible) and random ones, about 100 MB in all.
python3 - "$work/src" <<'PY'
import os, random, sys
random.seed(7)
words = [b"setup ", b"install ", b"cabinet ", b"folder ", b"Corvane ", b"\r\n", b"[Files]", b"value=",
         b"the ", b"of ", b"and ", b"program ", b"windows ", b"file ", b"copy ", b"disk ",
         b"0123456789 ", b"The quick brown fox jumps over the lazy dog. "]
for i in range(100):
    path = os.path.join(sys.argv[1], f"file{i:03}.{'txt' if i % 2 else 'bin'}")
    size = 1000000 + random.randrange(100000)
    with open(path, "wb") as f:
        if i % 2:
            # Words drawn one by one, with a made-up word now and then: matches stay short,
            # as in real text.
            out = bytearray()
            pick = random.choices(words, k=size // 6)
            for n, w in enumerate(pick):
                out += w
                if n % 5 == 0:
                    out += bytes(random.choices(range(97, 123), k=random.randrange(2, 9))) + b" "
            f.write(out[:size])
        else:
            f.write(os.urandom(size))
PY

cab="$work/bench.cab"
if command -v gcab >/dev/null; then
    maker="gcab -z"
    (cd "$work/src" && gcab -c -z "$cab" ./*)
else
    echo "gcab is not installed" >&2
    exit 1
fi
echo "cabinet: $(du -m "$cab" | cut -f1) MB packed, $(du -sm "$work/src" | cut -f1) MB unpacked, made with $maker"

# Best wall time of five runs of the command, each into an empty folder $work/out, timed
# inside one Python process so that no helper process start is counted with the tool.
best_time() {
    python3 - "$work/out" "$@" <<'PY'
import os, shutil, subprocess, sys, time
out, cmd = sys.argv[1], sys.argv[2:]
best = None
for _ in range(5):
    shutil.rmtree(out, ignore_errors=True)
    os.mkdir(out)
    start = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
    took = time.perf_counter() - start
    best = took if best is None else min(best, took)
print(f"{best:.4f}")
PY
}

check_output() {
    diff -r -q "$work/src" "$work/out" >/dev/null || { echo "$1 extracted other bytes" >&2; exit 1; }
}

t_cv=$(best_time "$cvcab" x "$cab" "$work/out"); check_output cvcab
t_ce=$(best_time cabextract -q -d "$work/out" "$cab"); check_output cabextract
t_7z=""
if command -v 7z >/dev/null; then
    t_7z=$(best_time 7z x -y -o"$work/out" "$cab"); check_output 7z
fi

printf "%-12s %9s %10s\n" tool seconds "vs cabextract"
printf "%-12s %9.3f %10.2f\n" cvcab "$t_cv" "$(echo "$t_cv / $t_ce" | bc -l)"
printf "%-12s %9.3f %10.2f\n" cabextract "$t_ce" 1
if [ -n "$t_7z" ]; then
    printf "%-12s %9.3f %10.2f\n" 7z "$t_7z" "$(echo "$t_7z / $t_ce" | bc -l)"
else
    echo "7z          not installed"
fi
echo "goal: cvcab at most 0.50 of cabextract's time"

echo
if [ -x "$build/bench/archive/decode_speed" ]; then
    "$build/bench/archive/decode_speed"
else
    echo "no decode_speed in $build: LZX and Quantum speeds not measured"
fi
