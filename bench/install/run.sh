#!/usr/bin/env bash
# The install benchmark: a 5000-file, 195 MB payload installed under Wine by the hidden
# Corvane setup (packed by cvbuild, MSZIP) and by a silent NSIS 3 installer (solid zlib), in
# one prefix, interleaved, medians; prints the ratios of the setup's whole run and of its
# install step to NSIS.
#
#   bench/install/run.sh [RUNS]          (default 5; RUNS=2 for a quick look)
#
# Builds what it needs (build/host: cvbuild; build/win: setup.exe, trace_clock.exe), installs
# makensis (Debian package nsis) with apt-get when it is missing, and keeps everything it
# makes in build/bench-install: the payload and product folder, the setup folder, the NSIS
# installer and the Wine prefix (kept between runs; delete build/bench-install/wine for a
# fresh one). Wine runs only under the lock /tmp/cv-wine.lock. PREPARE_ONLY=1 builds and packs
# and stops before Wine; SKIP_PACK_IF_PRESENT=1 keeps a setup folder packed before (the other
# benchmarks that only need one).
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-${RUNS:-5}}
jobs=${JOBS:-2}
out=$PWD/build/bench-install
mkdir -p "$out"

step() { echo "== $*"; }

step "tools"
[ -f build/host/build.ninja ] || cmake -S . -B build/host -G Ninja >/dev/null
ninja -C build/host -j "$jobs" cvbuild >/dev/null
# The programs are built for what this machine runs (scripts/win-arch.sh): 32-bit where it
# can, else 64-bit with a 64-bit NSIS installer, so that both sides run alike.
arch=$(scripts/win-arch.sh)
[ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DCV_HOST_TOOLS_DIR="$PWD/build/host" >/dev/null
ninja -C build/win -j "$jobs" setup trace_clock >/dev/null
case "$arch" in
  i686) nsis_target=x86-unicode ;;
  *) nsis_target=amd64-unicode ;;
esac
if ! command -v makensis >/dev/null; then
  step "installing makensis (package nsis)"
  sudo_cmd=(); [ "$(id -u)" = 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y nsis >/dev/null
fi

step "payload and product"
python3 bench/install/make_payload.py "$out/product/files"
python3 bench/install/make_product.py "$out/product"

step "packing"
# The runtime as it ships: without the debug information of the build tree.
"$arch-w64-mingw32-strip" -o "$out/setup.exe" build/win/app/setup.exe
start=$(date +%s.%N)
if [ -n "${SKIP_PACK_IF_PRESENT:-}" ] && [ -f "$out/setup/file1.cab" ]; then
  echo "cvbuild: kept the setup folder packed before"
else
build/host/tools/cvbuild/cvbuild pack "$out/product" "$out/setup" --runtime "$out/setup.exe" \
  --compression mszip
echo "cvbuild: $(echo "$(date +%s.%N) - $start" | bc) s, file1.cab $(du -m "$out/setup/file1.cab" | cut -f1) MB"
fi
# The NSIS installer changes only with its script and the payload; it takes a minute to build.
nsis="$out/nsis-bench-$nsis_target.exe"
if [ ! -f "$nsis" ] || [ bench/install/bench.nsi -nt "$nsis" ] || [ "$out/product/files/.payload.json" -nt "$nsis" ]; then
  start=$(date +%s.%N)
  makensis -V2 -DTARGET="$nsis_target" -DPAYLOAD="$out/product/files" -DOUTFILE="$nsis" bench/install/bench.nsi
  echo "makensis: $(echo "$(date +%s.%N) - $start" | bc) s, installer $(du -m "$nsis" | cut -f1) MB"
fi

# The uninstall benchmark (bench/uninstall/run.sh) uses the same payload, product and NSIS
# installer, and stops here.
[ -z "${PREPARE_ONLY:-}" ] || exit 0

state=$out/wine
. scripts/own_wine_prefix.sh
own_wine_prefix "$state"
tests/wine/harness.sh run --state "$state" --timeout $((600 + runs * 600)) -- \
  python3 bench/install/measure.py --setup-dir "$out/setup" --nsis-exe "$nsis" \
    --trace-clock build/win/bench/install/trace_clock.exe --work "$out/measure" --runs "$runs" \
    --expect-files "$(find "$out/product/files" -type f ! -name '.*' | wc -l)"
