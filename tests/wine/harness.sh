#!/usr/bin/env bash
# The Wine harness: one prefix and one Xvfb display per test run, kept in a state folder
# inside the build folder. The prefix is 32-bit (win32) for a 32-bit build/win and 64-bit
# (win64) for a 64-bit one, on machines that run no 32-bit programs; setup records which.
#
#   harness.sh setup   --state DIR [--arch A]   new prefix (wineboot) and display; A is win32
#                                               or win64, by default what scripts/win-arch.sh
#                                               chooses for build/win
#   harness.sh run     --state DIR [--winver V] [--timeout S] -- COMMAND ...
#   harness.sh winver  --state DIR V            set the Windows version the prefix reports
#                                               (status 77: a 64-bit prefix cannot report V)
#   harness.sh cleanup --state DIR              wineserver -k, stop the display
#
# `run` exports WINEPREFIX, WINEARCH, WINEDEBUG, WINEDLLOVERRIDES and DISPLAY (and for win64
# a PATH whose `wine` is the 64-bit loader), and runs the command under a time limit, so
# every Windows process a test starts is bounded.
set -u

action=${1:-}; shift || true
state=""; winver=""; arch=""; limit=${CV_WINE_TIMEOUT:-240}
while [ $# -gt 0 ]; do
  case "$1" in
    --state) state=$2; shift 2 ;;
    --arch) arch=$2; shift 2 ;;
    --winver) winver=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ -n "$state" ] || { echo "harness: --state DIR is required" >&2; exit 2; }
state=$(realpath -m "$state")

here=$(dirname "$(realpath "$0")")
if [ "$action" = setup ]; then
  if [ -z "$arch" ]; then
    case "$("$here/../../scripts/win-arch.sh")" in
      i686) arch=win32 ;;
      *) arch=win64 ;;
    esac
  fi
elif [ -f "$state/arch" ]; then
  arch=$(cat "$state/arch")
fi
case "${arch:-win32}" in
  win32) ;;
  win64)
    # /usr/bin/wine would pick the 32-bit loader; the shim calls the 64-bit one.
    export PATH="$here/wine64:$PATH" WINELOADER=/usr/lib/wine/wine64 ;;
  *) echo "harness: --arch must be win32 or win64, not '$arch'" >&2; exit 2 ;;
esac
export WINEARCH=${arch:-win32}
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

load_display() {
  if [ -f "$state/display" ]; then
    DISPLAY=$(cat "$state/display"); export DISPLAY
  fi
}

display_alive() {
  [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_display() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    # The display outlives this command: it must not inherit descriptors such as the one
    # of a `flock` around the test run, or it would hold that lock until it is stopped.
    (
      for fd in /proc/$BASHPID/fd/*; do
        fd=${fd##*/}
        [ "$fd" -gt 2 ] && eval "exec $fd>&-"
      done
      exec setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$state/xvfb.log" 2>&1
    ) &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if display_alive; then
      echo ":$n" >"$state/display"
      return 0
    fi
  done
  echo "harness: could not start Xvfb" >&2
  return 1
}

set_winver() {
  local want=$1
  [ "$(cat "$state/winver" 2>/dev/null)" = "$want" ] && return 0
  local rc
  timeout 60 wine winecfg -v "$want" >/dev/null 2>&1
  rc=$?
  wineserver -w
  # winecfg refuses (status 1) a version the prefix cannot report, leaving the version as it
  # was: a 64-bit prefix offers none older than 64-bit Windows (no 9x, 2000 or 32-bit XP).
  # There that ends in status 77, which the tests turn into a skip; elsewhere it fails.
  if [ $rc -ne 0 ]; then
    if [ "$WINEARCH" = win64 ] && [ $rc -eq 1 ]; then
      echo "harness: skipped: a 64-bit prefix cannot report Windows version $want (winecfg -v refuses it)" >&2
      return 77
    fi
    echo "harness: winecfg -v $want failed (status $rc)" >&2
    return 1
  fi
  echo "$want" >"$state/winver"
}

stop_all() {
  [ -d "$WINEPREFIX" ] && timeout 30 wineserver -k >/dev/null 2>&1
  if display_alive; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  fi
  rm -f "$state/xvfb.pid"
}

case "$action" in
  setup)
    if [ -d "$state" ]; then stop_all; fi
    rm -rf "$state"; mkdir -p "$state"
    echo "$WINEARCH" >"$state/arch"
    start_display || exit 1
    load_display
    if ! timeout 180 wine wineboot -i >"$state/wineboot.log" 2>&1; then
      echo "harness: wineboot failed, see $state/wineboot.log" >&2; exit 1
    fi
    # Xvfb runs no window manager: Wine must place, size and maximise its windows itself
    # instead of asking a window manager that is not there.
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    timeout 60 wineserver -w
    # Wine's own default; tests that need another version ask for it.
    echo "default" >"$state/winver"
    echo "harness: $WINEARCH prefix $WINEPREFIX on display $DISPLAY"
    ;;
  run)
    [ -d "$WINEPREFIX" ] || { echo "harness: no prefix; run setup first" >&2; exit 2; }
    display_alive || start_display || exit 1
    load_display
    export CV_WINE_STATE="$state"
    if [ -n "$winver" ]; then set_winver "$winver" || exit $?; fi
    timeout --kill-after=10 "$limit" "$@"
    rc=$?
    [ $rc -eq 124 ] && echo "harness: '$*' exceeded $limit s and was stopped" >&2
    exit $rc
    ;;
  winver)
    set_winver "${1:?version}"
    ;;
  cleanup)
    stop_all
    ;;
  *)
    echo "usage: harness.sh setup|run|winver|cleanup --state DIR ..." >&2; exit 2 ;;
esac
