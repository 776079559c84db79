#!/usr/bin/env bash
# Repeats the cases that follow a default changed by another client (the listener's and PipeWire's
# record's) on PipeWire under GLib's event dispatcher and Qt's own, and on PulseAudio, each on a
# fresh server every round; prints the failed rounds of each. A default another client changes
# must reach a long-lived connection every time.
# Usage: bench/default_stress.sh [build-dir] [rounds]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
rounds=${2:-50}
binary="$build/tests/test_pulse"
[[ -x "$binary" ]] || { echo "build the tests first: $binary" >&2; exit 1; }
filter='Listener.DefaultChanges*:PipeWireRecord.*'
log=$(mktemp)
trap 'rm -f "$log"' EXIT

total=0
run() { # label environment...
  local label=$1; shift
  local start=$EPOCHSECONDS
  env "$@" QT_QPA_PLATFORM=offscreen "$binary" --gtest_filter="$filter" --gtest_repeat="$rounds" \
    --gtest_brief=1 >"$log" 2>&1
  local failed
  failed=$(grep -c '^\[  FAILED  \] [A-Za-z]*\..* ms)$' "$log")
  printf '%-30s %d rounds, %d failed cases (%d s)\n' "$label" "$rounds" "$failed" $((EPOCHSECONDS - start))
  grep -B3 '^\[  FAILED  \] [A-Za-z]*\..* ms)$' "$log" | head -20
  total=$((total + failed))
}
run "PipeWire, GLib dispatcher" VANTORELLE_TEST_SERVER=pipewire
run "PipeWire, Qt's own dispatcher" VANTORELLE_TEST_SERVER=pipewire QT_NO_GLIB=1
run "PulseAudio" VANTORELLE_TEST_SERVER=pulseaudio
echo "machine load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
[[ $total -eq 0 ]]
