#!/usr/bin/env bash
# Every test: the host suite under AddressSanitizer and UBSan, then the Windows-side tests
# and the end-to-end tests under Wine and Xvfb (one fresh prefix for the run: 32-bit, or
# 64-bit on a machine that runs no 32-bit programs; see scripts/win-arch.sh).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
SANITIZE=1 scripts/build.sh
status=0
ctest --test-dir build/host -j 2 --output-on-failure || status=1
ctest --test-dir build/win --output-on-failure || status=1
# With a 64-bit build/win, the shipped 32-bit setup.exe was only compiled (build/win32); its
# imports are still checked, which needs no Wine.
if [ -f build/win32/app/setup.exe ] && [ "$(scripts/win-arch.sh)" != i686 ]; then
  python3 tests/e2e/check_imports.py build/win32/app/setup.exe || status=1
  python3 tests/e2e/check_imports.py build/win32/cvexec/cvexec.exe || status=1
fi
if [ $status -ne 0 ]; then
  echo "test: FAILED (screenshots and logs under build/win/test-output)"
else
  echo "test: all passed (screenshots under build/win/test-output)"
fi
exit $status
