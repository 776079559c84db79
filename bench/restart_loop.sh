#!/usr/bin/env bash
# Kills the sound server (SIGKILL) and starts it again N times while the headless engine runs.
# After each restart a varying subset of the four devices is plugged back, in a varying order;
# the defaults must then be what the stacks demand for the devices present, and the settings
# file must still hold every entry exactly once, in its order.
# Usage: bench/restart_loop.sh [build-dir] [count]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
count=${2:-100}
source "$here/lib.sh"
source "$here/fault_lib.sh"

expected_stacks="usb_mic,builtin_mic / usb_headphones,speakers"
write_stacks
start_daemon
plug_builtin_mic >/dev/null; plug_usb_mic >/dev/null; plug_speakers >/dev/null; plug_usb_headphones >/dev/null
start_engine "$build/bench/vantorelle_headless"
wait_defaults usb_mic/usb_headphones 10 >/dev/null || { echo "engine did not take over"; exit 1; }
rss_start=$(rss_kb "$engine_pid")

failures=0
recoveries=()
loop_start=$(date +%s%N)
for i in $(seq 1 "$count"); do
  kill -9 "$daemon_pid"; wait "$daemon_pid" 2>/dev/null || true
  start_daemon
  # Which ranked devices come back, and whether they come before or after the built-in ones.
  with_mic=$(( i % 2 )); with_phones=$(( (i / 2) % 2 ))
  devices=(plug_builtin_mic plug_speakers)
  (( with_mic )) && devices+=(plug_usb_mic)
  (( with_phones )) && devices+=(plug_usb_headphones)
  (( i % 3 == 0 )) && devices=($(printf '%s\n' "${devices[@]}" | tac))
  for plug_one in "${devices[@]}"; do "$plug_one" >/dev/null; done
  want="$( ((with_mic)) && echo usb_mic || echo builtin_mic)/$( ((with_phones)) && echo usb_headphones || echo speakers)"
  if ms=$(wait_defaults "$want" 10); then
    recoveries+=("$ms")
  else
    echo "restart $i: defaults $(defaults), wanted $want"; failures=$((failures + 1))
  fi
  got=$(stacks)
  if [[ "$got" != "$expected_stacks" ]]; then
    echo "restart $i: stacks $got"; failures=$((failures + 1))
  fi
  kill -0 "$engine_pid" 2>/dev/null || { echo "restart $i: the engine died"; cat "$bench_tmp/engine.log"; exit 1; }
done
loop_ms=$(( ($(date +%s%N) - loop_start) / 1000000 ))
rss_end=$(rss_kb "$engine_pid")
stop_engine || echo "engine exit status $?"

echo "restarts: $count in $((loop_ms / 1000)).$(( (loop_ms % 1000) / 100 )) s, failures: $failures"
stats_ms "defaults right after the last device was plugged" "${recoveries[@]}"
echo "engine RSS: $rss_start kB before, $rss_end kB after"
echo "stacks at the end: $(stacks)"
[[ $failures -eq 0 ]]
