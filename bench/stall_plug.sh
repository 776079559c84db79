#!/usr/bin/env bash
# Stops the sound server (SIGSTOP) for two seconds right after a plug, N times, while the
# headless engine runs; prints every notice the engine posted and the defaults after each round.
# A stall must bring no "Device removed" and no second announcement of devices that stayed.
# Usage: bench/stall_plug.sh [build-dir] [count]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
count=${2:-3}
source "$here/lib.sh"
source "$here/fault_lib.sh"

write_stacks '"notifyDeviceChange": true'
start_daemon
plug_builtin_mic >/dev/null; plug_speakers >/dev/null
start_engine "$build/bench/vantorelle_headless"
wait_defaults builtin_mic/speakers 10 >/dev/null || { echo "engine did not take over"; exit 1; }

for i in $(seq 1 "$count"); do
  lines_before=$(wc -l <"$bench_tmp/engine.log")
  module=$(plug_usb_headphones)
  kill -STOP "$daemon_pid"
  sleep 2
  kill -CONT "$daemon_pid"
  wait_defaults builtin_mic/usb_headphones 10 >/dev/null || echo "round $i: defaults $(defaults)"
  sleep 0.5
  echo "round $i: after the plug and a 2 s stall: defaults $(defaults); notices:"
  tail -n +"$((lines_before + 1))" "$bench_tmp/engine.log" | sed 's/^/  /'
  timeout 5 pactl unload-module "$module"
  wait_defaults builtin_mic/speakers 10 >/dev/null || true
  sleep 0.3
done
removed=$(grep -c 'Device removed' "$bench_tmp/engine.log" || true)
echo "Device removed notices in all: $removed (one per unplug expected: $count)"
stop_engine
