#!/usr/bin/env bash
# Builds both trees: build/host (native; SANITIZE=1 for AddressSanitizer and UBSan) and
# build/win (MinGW-w64 i686, with build/host's tools for the end-to-end tests).
# The host tree is sanitized only when SANITIZE=1 (the test command sets it).
set -eu
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
# SANITIZE=1 or 0 switches the host tree; unset keeps what it was built with (so the demo
# reuses a tree that the tests built).
san_args=()
case "${SANITIZE:-}" in
  1) san_args=(-DCV_SANITIZE=ON) ;;
  0) san_args=(-DCV_SANITIZE=OFF) ;;
esac
cmake -S . -B build/host -G Ninja "${san_args[@]}" >/dev/null
ninja -C build/host -j "$jobs"
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCV_HOST_TOOLS_DIR="$PWD/build/host" >/dev/null
ninja -C build/win -j "$jobs"
