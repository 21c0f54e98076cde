#!/usr/bin/env bash
# Every test: the host suite under AddressSanitizer and UBSan, then the Windows-side tests
# and the end-to-end tests under Wine and Xvfb (one fresh 32-bit prefix for the run).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
SANITIZE=1 scripts/build.sh
status=0
ctest --test-dir build/host -j 2 --output-on-failure || status=1
ctest --test-dir build/win --output-on-failure || status=1
if [ $status -ne 0 ]; then
  echo "test: FAILED (screenshots and logs under build/win/test-output)"
else
  echo "test: all passed (screenshots under build/win/test-output)"
fi
exit $status
