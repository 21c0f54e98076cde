#!/usr/bin/env bash
# The uninstall benchmark: the install benchmark's 5000-file product removed under Wine by
# `cvexec.exe /S <code>` and by the NSIS uninstaller of the same payload (`RMDir /r` of its
# install folder), in the install benchmark's prefix, interleaved, medians; prints the ratio.
#
#   bench/uninstall/run.sh [RUNS]          (default 5)
#
# Prepares with bench/install/run.sh (PREPARE_ONLY=1: payload, product, setup folder, NSIS
# installer), puts the uninstaller beside a linked copy of its setup folder in
# build/bench-install/setup-uninstall and keeps its work files in build/bench-install/measure-uninstall. Wine runs only under /tmp/cv-wine.lock.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-${RUNS:-5}}
jobs=${JOBS:-2}
out=$PWD/build/bench-install

# The install benchmark's payload, product, setup folder and NSIS installer; it packs the setup
# folder again only when it is missing (SKIP_PACK_IF_PRESENT).
PREPARE_ONLY=1 SKIP_PACK_IF_PRESENT=1 bench/install/run.sh "$runs" | grep -v '^== Wine' || true
[ -f "$out/setup/setup.exe" ] || { echo "uninstall bench: the install benchmark did not prepare" >&2; exit 1; }
arch=$(scripts/win-arch.sh)
case "$arch" in
  i686) nsis_target=x86-unicode ;;
  *) nsis_target=amd64-unicode ;;
esac
echo "== the setup folder with the uninstaller beside setup.exe"
ninja -C build/win -j "$jobs" cvexec >/dev/null
# Hard links to the install benchmark's setup folder (the cabinet is 90 MB), and the
# uninstaller, which the setup copies into the Windows folder when it finds it there.
rm -rf "$out/setup-uninstall"
cp -al "$out/setup" "$out/setup-uninstall"
rm -f "$out/setup-uninstall/cvexec.exe"
"$arch-w64-mingw32-strip" -o "$out/setup-uninstall/cvexec.exe" build/win/cvexec/cvexec.exe

state=$out/wine
. scripts/own_wine_prefix.sh
own_wine_prefix "$state"
tests/wine/harness.sh run --state "$state" --timeout $((600 + runs * 600)) -- \
  python3 bench/uninstall/measure.py --setup-dir "$out/setup-uninstall" \
    --nsis-exe "$out/nsis-bench-$nsis_target.exe" --work "$out/measure-uninstall" --runs "$runs" \
    --expect-files "$(find "$out/product/files" -type f ! -name '.*' | wc -l)"
