#!/usr/bin/env bash
# Packs the demo product with cvbuild and runs its wizard: on your display when there is
# one (in a Wine prefix of its own under build/demo), otherwise under Xvfb, driven
# automatically with one screenshot per page in build/demo/screenshots.
# The runtime is build/win's setup.exe, whose architecture and prefix follow what this
# machine can run (scripts/win-arch.sh): 32-bit where it can, else 64-bit.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
rm -rf build/demo/setup
# The demo installs a program of ours, which the win build makes.
python3 samples/stage_demo.py --sample-files 1500 build/win/samples/CorvaneDemo.exe build/demo/product
build/host/tools/cvbuild/cvbuild pack build/demo/product build/demo/setup --runtime build/win/app/setup.exe
echo "demo: setup folder in build/demo/setup"
state="$PWD/build/demo/wine"
case "$(scripts/win-arch.sh)" in
  i686) wine_arch=win32 ;;
  *) wine_arch=win64 ;;
esac
# A prefix made for the other architecture cannot run this setup.exe: start over.
if [ -d "$state" ] && [ "$(cat "$state/arch" 2>/dev/null || echo win32)" != "$wine_arch" ]; then
  [ -f "$state/xvfb.pid" ] && tests/wine/harness.sh cleanup --state "$state"
  rm -rf "$state"
fi
if [ -n "${DISPLAY:-}" ] && [ -S "/tmp/.X11-unix/X${DISPLAY#*:}" ] && [ -z "${DEMO_HEADLESS:-}" ]; then
  export WINEPREFIX="$state/prefix" WINEARCH=$wine_arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # /usr/bin/wine would pick the 32-bit loader, which a 64-bit-only machine cannot run.
  [ "$wine_arch" = win64 ] && export PATH="$PWD/tests/wine/wine64:$PATH"
  if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$state" && wine wineboot -i && echo "$wine_arch" >"$state/arch"
  fi
  cd build/demo/setup && exec wine setup.exe
fi
[ -d "$state/prefix" ] || tests/wine/harness.sh setup --state "$state" --arch "$wine_arch"
trap 'tests/wine/harness.sh cleanup --state "$state"' EXIT
CV_BUILD_DIR="$PWD/build/win" CV_TEST_OUTPUT="$PWD/build/demo" \
  tests/wine/harness.sh run --state "$state" --timeout 300 -- \
  python3 samples/run_demo.py build/demo/setup build/demo/screenshots
