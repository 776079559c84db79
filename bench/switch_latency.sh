#!/usr/bin/env bash
# Time from a plug-in (load-module sent) to the default sink following it, seen by an
# independent subscriber: with Vantorelle's engine running, then with the daemon's own
# module-switch-on-connect instead (the in-server floor).
# Also counts, per plug, the connections Vantorelle opens and the events another subscribed client
# sees (both phases counted alike, so the difference is Vantorelle's).
# Usage: bench/switch_latency.sh [build-dir] [count] [pulseaudio|pipewire]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
count=${2:-50}
server=${3:-pulseaudio}
source "$here/lib.sh"
export XDG_CONFIG_HOME="$bench_tmp/config"
mkdir -p "$XDG_CONFIG_HOME/Vantorelle"
cat >"$XDG_CONFIG_HOME/Vantorelle/settings.json" <<JSON
{"outputPriority": [{"uid": "top_sink", "name": "Top"}, {"uid": "laptop", "name": "Laptop Speakers"}]}
JSON

stats() { # label file
  sort -n "$2" | awk -v label="$1" '{a[NR]=$1} END {
    m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; p=a[int(NR*0.95+0.999)];
    printf "%-26s n=%d median %.2f ms  p95 %.2f ms\n", label, NR, m, p; print m > "/dev/stderr" }'
}

if [[ "$server" == pipewire ]]; then start_pipewire; else start_daemon; fi
timeout 5 pactl load-module module-null-sink sink_name=laptop \
  "sink_properties='device.description=\"Laptop Speakers\" device.form_factor=internal device.bus=pci'" >/dev/null

"$build/bench/vantorelle_headless" >"$bench_tmp/engine.log" 2>&1 &
engine=$!
for _ in $(seq 100); do [[ "$(timeout 2 pactl get-default-sink)" == laptop ]] && break; sleep 0.05; done
sleep 0.5 # the engine's listener subscribes after its first scan
watch_events() { timeout 300 pactl subscribe >"$1" 2>/dev/null & watcher=$!; sleep 0.3; }
watch_events "$bench_tmp/engine-events.txt"
timeout 120 "$build/bench/bench_switch_latency" top_sink laptop "$count" >"$bench_tmp/engine.txt"
sleep 0.5; kill "$watcher" 2>/dev/null || true
kill "$engine"; wait "$engine" 2>/dev/null || true

timeout 5 pactl load-module module-switch-on-connect ignore_virtual=no >/dev/null
timeout 5 pactl set-default-sink laptop
watch_events "$bench_tmp/floor-events.txt"
timeout 120 "$build/bench/bench_switch_latency" top_sink laptop "$count" >"$bench_tmp/floor.txt" \
  || echo "the in-server module did not switch every plug on this server" >&2
sleep 0.5; kill "$watcher" 2>/dev/null || true
[[ "$server" == pipewire ]] && echo "(on PipeWire the session manager may make the new sink default before Vantorelle does; the figure is whichever came first)"
stats "Vantorelle engine" "$bench_tmp/engine.txt" 2>"$bench_tmp/m1"
stats "module-switch-on-connect" "$bench_tmp/floor.txt" 2>"$bench_tmp/m2"
# The server's own time to make the sink (load-module's answer), the same in both phases.
awk '{print $2}' "$bench_tmp/engine.txt" "$bench_tmp/floor.txt" >"$bench_tmp/loads.txt"
stats "of which load-module alone" "$bench_tmp/loads.txt" 2>/dev/null
awk -v a="$(cat "$bench_tmp/m1")" -v b="$(cat "$bench_tmp/m2")" 'BEGIN {printf "ratio of medians: %.1f\n", a/b}'
per_plug() { # pattern file
  awk -v n="$count" -v pattern="$1" '$0 ~ pattern {c++} END {printf "%.1f", c / n}' "$2"
}
echo "connections per plug: Vantorelle $(per_plug "'new' on client" "$bench_tmp/engine-events.txt"), floor $(per_plug "'new' on client" "$bench_tmp/floor-events.txt") (the floor's are the measuring client's own)"
echo "events another client sees per plug: with Vantorelle $(per_plug Event "$bench_tmp/engine-events.txt"), floor $(per_plug Event "$bench_tmp/floor-events.txt")"
