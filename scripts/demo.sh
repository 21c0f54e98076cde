#!/usr/bin/env bash
# Packs the demo product with cvbuild and runs its wizard: on your display when there is
# one (in a Wine prefix of its own under build/demo), otherwise under Xvfb, driven
# automatically with one screenshot per page in build/demo/screenshots.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
rm -rf build/demo/setup
build/host/tools/cvbuild/cvbuild pack samples/demo build/demo/setup --runtime build/win/app/setup.exe
echo "demo: setup folder in build/demo/setup"
state="$PWD/build/demo/wine"
if [ -n "${DISPLAY:-}" ] && [ -S "/tmp/.X11-unix/X${DISPLAY#*:}" ] && [ -z "${DEMO_HEADLESS:-}" ]; then
  export WINEPREFIX="$state/prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -d "$WINEPREFIX" ] || wine wineboot -i
  cd build/demo/setup && exec wine setup.exe
fi
[ -d "$state/prefix" ] || tests/wine/harness.sh setup --state "$state"
trap 'tests/wine/harness.sh cleanup --state "$state"' EXIT
CV_BUILD_DIR="$PWD/build/win" CV_TEST_OUTPUT="$PWD/build/demo" \
  tests/wine/harness.sh run --state "$state" --timeout 300 -- \
  python3 samples/run_demo.py build/demo/setup build/demo/screenshots
