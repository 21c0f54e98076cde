#!/usr/bin/env bash
# The performance benchmarks of issue-level goals in one command: inflate against libdeflate
# (host, release build), the setup's start-up and cvexec's silent removal against their peers
# (under Wine, both in one hold of /tmp/cv-wine.lock). Prints each bench's output, then
# the machine and all the ratios together on the last lines.
#
#   bench/run_all.sh [RUNS] [--wine-only]   (RUNS for the Wine benches; default 3)
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
wine_only=${2:-}
log=$(mktemp /tmp/cv-bench-all-XXXXXX)
trap 'rm -f "$log"' EXIT

if [ "$wine_only" != --wine-only ]; then
  echo "== inflate (build/release)"
  [ -f build/release/build.ninja ] ||
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCV_SANITIZE=OFF >/dev/null
  ninja -C build/release -j "${JOBS:-2}" inflate_limit >/dev/null
  build/release/bench/archive/inflate_limit 32 15 | tee -a "$log"
fi
# Both Wine benches under one hold of the lock (about ten minutes with the default RUNS).
echo "== start-up and uninstall (waiting for /tmp/cv-wine.lock)"
flock /tmp/cv-wine.lock env CV_WINE_LOCK_HELD=1 bash -c \
  "bench/startup/run.sh $((runs * 2 - 1)) && bench/uninstall/run.sh $runs" | tee -a "$log"

echo
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) at the end, $(date -u '+%Y-%m-%d %H:%M') UTC"
grep -E "ours/libdeflate|/ bare window|rounds. ratios|cvexec /S / NSIS" "$log"
