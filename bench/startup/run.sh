#!/usr/bin/env bash
# The start-up benchmark: the demo product's setup.exe from process start until its first
# wizard page is shown, with the product archive unpacked behind the start page (the usual
# single-cabinet build) and as a disk image (no unpacking), against a bare Win32 program that
# shows one window. One Wine prefix, runs interleaved, medians; prints the ratios. The same
# bare window loading the libraries setup.exe imports is timed too: the part of start-up that
# is the libraries' loading.
#
#   bench/startup/run.sh [RUNS]          (default 9)
#
# The demo is staged without sample documents (samples/stage_demo.py). Everything it makes is
# kept in build/bench-startup (the Wine prefix too: delete build/bench-startup/wine for a fresh
# one). Wine runs only under the lock /tmp/cv-wine.lock.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-${RUNS:-9}}
jobs=${JOBS:-2}
out=$PWD/build/bench-startup
mkdir -p "$out"

echo "== tools"
[ -f build/host/build.ninja ] || cmake -S . -B build/host -G Ninja >/dev/null
ninja -C build/host -j "$jobs" cvbuild >/dev/null
arch=$(scripts/win-arch.sh)
[ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DCV_HOST_TOOLS_DIR="$PWD/build/host" >/dev/null
ninja -C build/win -j "$jobs" setup corvane_demo startup_clock bare_window bare_window_imports >/dev/null

echo "== packing the demo"
python3 samples/stage_demo.py build/win/samples/CorvaneDemo.exe "$out/product" >/dev/null
# The runtime as it ships: without the debug information of the build tree.
"$arch-w64-mingw32-strip" -o "$out/setup.exe" build/win/app/setup.exe
rm -rf "$out/setup" "$out/image"
build/host/tools/cvbuild/cvbuild pack "$out/product" "$out/setup" --runtime "$out/setup.exe" >/dev/null
build/host/tools/cvbuild/cvbuild pack "$out/product" "$out/image" --runtime "$out/setup.exe" --disk-images >/dev/null
cp build/win/bench/startup/startup_clock.exe build/win/bench/startup/bare_window.exe \
  build/win/bench/startup/bare_window_imports.exe "$out/"

state=$out/wine
. scripts/own_wine_prefix.sh
own_wine_prefix "$state"
tests/wine/harness.sh run --state "$state" --timeout $((300 + runs * 120)) -- \
  python3 bench/startup/measure.py --folder "$out" --runs "$runs"
