#!/usr/bin/env bash
# Builds both trees: build/host (native; SANITIZE=1 for AddressSanitizer and UBSan) and
# build/win (MinGW-w64 i686, with build/host's tools for the end-to-end tests).
set -eu
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
sanitize=${SANITIZE:-0}
san_flag=OFF
[ "$sanitize" = 1 ] && san_flag=ON
cmake -S . -B build/host -G Ninja -DCV_SANITIZE=$san_flag >/dev/null
ninja -C build/host -j "$jobs"
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCV_HOST_TOOLS_DIR="$PWD/build/host" >/dev/null
ninja -C build/win -j "$jobs"
