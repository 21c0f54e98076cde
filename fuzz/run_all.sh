#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for SECONDS each, one after another, and prints
# per target the runs, the coverage (edges and features) and the corpus it grew, then any
# findings (kept under build/fuzz/findings/<target>/).
#
#   fuzz/run_all.sh SECONDS [TARGET...]     e.g. fuzz/run_all.sh 300 fuzz_layout
#
# build/fuzz is configured once with
#   cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DCV_FUZZ=ON
# Each target grows its corpus in build/fuzz/corpus/<name>, seeded read-only from
# fuzz/corpus/<name> (the cabinet targets from the shared sample cabinets and the kept
# regressions).
set -eu
cd "$(dirname "$0")/.."
[ $# -ge 1 ] && [ "$1" -gt 0 ] 2>/dev/null || { echo "usage: fuzz/run_all.sh SECONDS [TARGET...]" >&2; exit 2; }
seconds=$1
shift
build=build/fuzz
shared=${CV_SHARED_DIR:-$PWD/../shared}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  ninja -C "$build" -j "${JOBS:-2}" $(ninja -C "$build" -t targets all | sed -n 's/^\(fuzz_[a-z_]*\): .*/\1/p' | sort -u) >/dev/null
  for exe in "$build"/fuzz/fuzz_*; do
    [ -x "$exe" ] && targets+=("$(basename "$exe")")
  done
else
  ninja -C "$build" -j "${JOBS:-2}" "${targets[@]}" >/dev/null
fi

seeds_of() {
  case $1 in
    cab_reader) echo "$shared/testdata/cabs tests/host/archive/regressions" ;;
    block_decoders) echo "fuzz/corpus/block_decoders" ;;
    *) echo "fuzz/corpus/$1" ;;
  esac
}

printf "%-22s %12s %8s %8s %14s %s\n" target runs cov ft corpus findings
status=0
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  corpus=$build/corpus/$name findings=$build/findings/$name log=$build/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  seeds=()
  for dir in $(seeds_of "$name"); do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  set +e
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "${seeds[@]}" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<<"$last")
  found=$(find "$findings" -type f | wc -l)
  printf "%-22s %12s %8s %8s %14s %s\n" "$target" "${runs:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}" "$found"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    status=1
    echo "  $target: exit status $rc; log $log" >&2
    find "$findings" -type f | sed 's/^/  finding: /' >&2
  fi
done
exit $status
