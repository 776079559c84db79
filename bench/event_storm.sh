#!/usr/bin/env bash
# Hundreds of plug and unplug events a second for a while, from several parallel writers, while
# the headless engine runs. Afterwards the two ranked devices are plugged in: the defaults must
# follow them, the stacks must hold every device exactly once, the engine's memory must be flat,
# and the server's defaults must settle (no change at all in the quiet period that follows).
# Usage: bench/event_storm.sh [build-dir] [seconds] [writers]
#   With ASAN_BUILD=<dir> the engine of that (-DVANTORELLE_SANITIZE=ON) build runs instead, and
#   LeakSanitizer's verdict at its exit is printed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
seconds=${2:-60}
writers=${3:-4}
source "$here/lib.sh"
source "$here/fault_lib.sh"

engine_binary="$build/bench/vantorelle_headless"
[[ -n "${ASAN_BUILD:-}" ]] && engine_binary="$(cd "$ASAN_BUILD" && pwd)/bench/vantorelle_headless"
export ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$here/../tests/lsan.supp"

write_stacks
start_daemon
plug_builtin_mic >/dev/null; plug_speakers >/dev/null
start_engine "$engine_binary"
wait_defaults builtin_mic/speakers 20 >/dev/null || { echo "engine did not start"; exit 1; }

writer() { # number until(ns)
  local n=0 m kind
  if [[ -x "$build/bench/bench_plug_storm" ]]; then
    # One connection per writer: hundreds of events a second, where pactl manages about 150.
    "$build/bench/bench_plug_storm" "storm_$1" $(( ($2 - $(date +%s%N)) / 1000000000 )) >"$bench_tmp/writer_$1"
    return
  fi
  while (( $(date +%s%N) < $2 )); do
    kind=$([[ $((n % 2)) == 0 ]] && echo in || echo out)
    m=$(plug "storm_$1_$((n % 5))" "$kind" "Storm $1 $n" usb) || true
    [[ -n "$m" ]] && timeout 5 pactl unload-module "$m" || true
    n=$((n + 1))
  done
  echo "$((n * 2))" >"$bench_tmp/writer_$1"
}

# A short warm-up storm first, so allocator pools and caches are filled before memory is read.
warm_until=$(( $(date +%s%N) + 3000000000 ))
writer 9 "$warm_until"
sleep 1
rss_before=$(rss_kb "$engine_pid")

storm_start=$(date +%s%N)
until=$(( storm_start + seconds * 1000000000 ))
for w in $(seq 1 "$writers"); do writer "$w" "$until" & done
wait_writers=$(jobs -p | grep -v "^$daemon_pid$" | grep -v "^$engine_pid$" || true)
for p in $wait_writers; do wait "$p"; done
storm_ms=$(( ($(date +%s%N) - storm_start) / 1000000 ))
events=0
for w in $(seq 1 "$writers"); do events=$((events + $(cat "$bench_tmp/writer_$w"))); done

# The final device set: the two ranked devices plugged in. From here on, count the server's
# default changes with timestamps.
(timeout 30 pactl subscribe | while read -r line; do echo "$(date +%s%N) $line"; done) >"$bench_tmp/after.log" &
subscriber=$!
sleep 0.3
final_start=$(date +%s%N)
plug_usb_mic >/dev/null; plug_usb_headphones >/dev/null
settle_ok=1
wait_defaults usb_mic/usb_headphones 20 >/dev/null || settle_ok=0
sleep 5
kill "$subscriber" 2>/dev/null || true; wait "$subscriber" 2>/dev/null || true
changes=$(grep -c "'change' on server" "$bench_tmp/after.log" || true)
last_change=$(grep "'change' on server" "$bench_tmp/after.log" | tail -1 | cut -d' ' -f1)
quiet_changes=$(awk -v t="$(( $(date +%s%N) - 5000000000 ))" '$1 > t && /on server/' "$bench_tmp/after.log" | wc -l)
rss_after=$(rss_kb "$engine_pid")
stacks_now=$(stacks)

leak="not checked (set ASAN_BUILD)"
if stop_engine; then status=0; else status=$?; fi
if [[ -n "${ASAN_BUILD:-}" ]]; then
  if grep -q "LeakSanitizer" "$bench_tmp/engine.log"; then
    leak="LEAKS:"; grep -A3 "Direct leak\|Indirect leak" "$bench_tmp/engine.log" | head -40
  else
    leak="no leak reported (engine exit status $status)"
  fi
fi

expected_in="usb_mic,builtin_mic"
expected_out="usb_headphones,speakers"
echo "storm: $events events in $((storm_ms / 1000)).$(( (storm_ms % 1000) / 100 )) s from $writers writers = $(( events * 1000 / storm_ms )) events/s"
echo "final defaults: $(defaults) (wanted usb_mic/usb_headphones): $([[ $settle_ok == 1 ]] && echo ok || echo WRONG)"
echo "server default changes after the final plug: $changes, the last $(( (${last_change:-$final_start} - final_start) / 1000000 )) ms after it; in the last 5 s: $quiet_changes"
echo "engine RSS: $rss_before kB before the storm, $rss_after kB after"
echo "leaks: $leak"
fails=0
[[ $settle_ok == 1 && $quiet_changes == 0 ]] || fails=1
# Each device once, the ranked ones on top, then the storm devices in the order first seen.
# (A storm name is a sink one time and a source the next, so it may sit in both stacks.)
dupes=$( for half in 1 2; do echo "$stacks_now" | cut -d/ -f$half | tr ', ' '\n\n' | grep -v '^$' | sort | uniq -d; done )
[[ "$stacks_now" == "$expected_in,"*" / $expected_out,"* && -z "$dupes" ]] || { echo "stacks: $stacks_now"; fails=1; }
echo "stack sizes: input $(echo "$stacks_now" | cut -d/ -f1 | tr ',' '\n' | grep -c .), output $(echo "$stacks_now" | cut -d/ -f2 | tr ',' '\n' | grep -c .); duplicates: ${dupes:-none}"
exit $fails
