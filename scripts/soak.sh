#!/usr/bin/env bash
# The soak run: the install benchmark's 5000-file product installed silently and removed with
# "cvexec.exe /S" CYCLES times (default 10) in one Wine prefix of its own; the machine after
# the last cycle must be the one before the first, and every setup and uninstaller must end
# by itself (tests/e2e/soak.py). It takes minutes, so `make test` does not run it.
#
#   scripts/soak.sh [CYCLES]
#
# Needs build/host (cvbuild) and build/win (setup.exe, cvexec.exe); keeps the payload, the
# packed setup and the prefix in build/soak. Wine runs only under the lock /tmp/cv-wine.lock.
set -euo pipefail
cd "$(dirname "$0")/.."
cycles=${1:-10}
jobs=${JOBS:-2}
out=$PWD/build/soak
mkdir -p "$out"

ninja -C build/host -j "$jobs" cvbuild >/dev/null
ninja -C build/win -j "$jobs" setup cvexec >/dev/null
python3 bench/install/make_payload.py "$out/product/files"
python3 bench/install/make_product.py "$out/product"
rm -rf "$out/setup"
build/host/tools/cvbuild/cvbuild pack "$out/product" "$out/setup" --runtime build/win/app/setup.exe \
  --cvexec build/win/cvexec/cvexec.exe >/dev/null

state=$out/wine
. scripts/own_wine_prefix.sh
own_wine_prefix "$state"
CV_BUILD_DIR=$PWD/build/win CV_HOST_TOOLS_DIR=$PWD/build/host \
  tests/wine/harness.sh run --state "$state" --timeout $((cycles * 1200)) -- \
  python3 tests/e2e/soak.py --setup-dir "$out/setup" --cycles "$cycles" \
    --expect-files "$(find "$out/product/files" -type f ! -name '.*' | wc -l)"
