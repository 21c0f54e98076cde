# Sourced by the scripts that run products under Wine in a prefix of their own (the benches,
# the soak). own_wine_prefix STATE takes the Wine lock unless the caller already holds it
# (CV_WINE_LOCK_HELD=1, as bench/run_all.sh does), makes the prefix under STATE once, and
# stops Wine's processes in it when the script exits.
own_wine_prefix() {
  local state=$1
  echo "== Wine (waiting for /tmp/cv-wine.lock)"
  if [ -z "${CV_WINE_LOCK_HELD:-}" ]; then
    exec 9>/tmp/cv-wine.lock
    flock 9
  fi
  # shellcheck disable=SC2064 # the state folder is fixed now
  trap "tests/wine/harness.sh cleanup --state '$state' >/dev/null 2>&1 || true" EXIT
  if [ ! -d "$state/prefix" ] && ! tests/wine/harness.sh setup --state "$state"; then
    # A half-made prefix would be taken for a ready one next time.
    tests/wine/harness.sh cleanup --state "$state" >/dev/null 2>&1 || true
    rm -rf "$state"
    exit 1
  fi
}
