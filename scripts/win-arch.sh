#!/usr/bin/env bash
# Prints the architecture of the Windows test tree build/win: i686 where this machine can run
# 32-bit programs (the 32-bit Wine loader starts), x86_64 where it runs 64-bit user code only
# (the tests then use a 64-bit prefix). CV_WIN_ARCH=i686|x86_64 forces either.
set -eu
case "${CV_WIN_ARCH:-}" in
  i686|x86_64) echo "$CV_WIN_ARCH"; exit 0 ;;
  "") ;;
  *) echo "win-arch: CV_WIN_ARCH must be i686 or x86_64, not '$CV_WIN_ARCH'" >&2; exit 2 ;;
esac
# The 32-bit loader fails with "Exec format error" on a kernel without 32-bit support, and
# is missing where wine32 is not installed; either way only a 64-bit prefix can work.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
