#!/usr/bin/env bash
# Builds the trees: build/host (native; SANITIZE=1 for AddressSanitizer and UBSan) and
# build/win (MinGW-w64, with build/host's tools for the end-to-end tests).
# build/win is 32-bit (i686) where this machine can run 32-bit programs, else 64-bit
# (x86_64), so that its tests can run under Wine at all (scripts/win-arch.sh; CV_WIN_ARCH
# forces either). With a 64-bit build/win the shipped 32-bit setup.exe is still compiled,
# in build/win32, so that a break of the 32-bit build shows here too.
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

# Configures build folder $1 with toolchain $2; a folder configured for another toolchain
# starts over, since CMake keeps the first compiler a folder was configured with.
configure_win() {
  local dir=$1 toolchain=$PWD/cmake/$2
  if [ -f "$dir/CMakeCache.txt" ] && ! grep -qx "CMAKE_TOOLCHAIN_FILE:[A-Z]*=$toolchain" "$dir/CMakeCache.txt"; then
    echo "build: $dir was configured for another architecture; configuring it again"
    rm -rf "$dir"
  fi
  cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCV_HOST_TOOLS_DIR="$PWD/build/host" >/dev/null
}

arch=$(scripts/win-arch.sh)
configure_win build/win "mingw-$arch.cmake"
ninja -C build/win -j "$jobs"
if [ "$arch" != i686 ]; then
  echo "build: this machine runs no 32-bit programs; build/win is $arch, and build/win32 compiles the shipped 32-bit setup.exe and cvexec.exe"
  configure_win build/win32 mingw-i686.cmake
  ninja -C build/win32 -j "$jobs" setup cvexec
fi
