#!/usr/bin/env bash
# Time from a plug-in (load-module sent) to the server's change event that reports the new default
# sink, for three contenders on the same daemon, stamped by one probe and taking turns in rounds
# of 10 plugs: Vantorelle's engine; a minimal separate client (minimal_client.cpp) with the engine
# stopped; the daemon's own module-switch-on-connect with both stopped (the in-server floor).
# Also counts, per plug, the connections each contender opens and the events a subscribed client
# sees.
# Usage: bench/switch_latency.sh [build-dir] [count] [pulseaudio|pipewire]  (count: plugs each)
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

if [[ "$server" == pipewire ]]; then start_pipewire; else start_daemon; fi
timeout 5 pactl load-module module-null-sink sink_name=laptop \
  "sink_properties='device.description=\"Laptop Speakers\" device.form_factor=internal device.bus=pci'" >/dev/null

"$build/bench/vantorelle_headless" >"$bench_tmp/engine.log" 2>&1 &
engine=$!
"$build/bench/bench_minimal_client" &
minimal=$!
for _ in $(seq 100); do [[ "$(timeout 2 pactl get-default-sink)" == laptop ]] && break; sleep 0.05; done
sleep 0.5 # the engine's listener subscribes after its first scan
finish() {
  kill -CONT "$engine" "$minimal" 2>/dev/null || true
  kill "$engine" "$minimal" 2>/dev/null || true
  wait "$engine" "$minimal" 2>/dev/null || true
}
trap 'finish; stop_daemon' EXIT

# Each round's command leaves only its contender switching, then gives it time to catch up with
# what it missed while stopped.
unload="timeout 5 pactl unload-module module-switch-on-connect >/dev/null 2>&1;"
timeout 600 "$build/bench/bench_switch_latency" top_sink laptop "$(( (count + 9) / 10 ))" 10 \
  vantorelle "kill -STOP $minimal; $unload kill -CONT $engine && sleep 0.5" \
  minimal "kill -STOP $engine; $unload kill -CONT $minimal && sleep 0.5" \
  module "kill -STOP $engine $minimal && timeout 5 pactl load-module module-switch-on-connect ignore_virtual=no >/dev/null && sleep 0.5" \
  >"$bench_tmp/probe.txt"

stats() { # label name: prints a line, leaves "median p95" in $bench_tmp/$1
  awk -v l="$1" '$1 == "plug" && $2 == l {print $3}' "$bench_tmp/probe.txt" | sort -n | awk -v name="$2" \
    -v misses="$(grep -c "^miss $1\$" "$bench_tmp/probe.txt" || true)" '{a[NR]=$1} END {
    m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; p=a[int(NR*0.95+0.999)];
    if (NR) printf "%-26s n=%d median %.2f ms  p95 %.2f ms", name, NR, m, p; else printf "%-26s", name;
    print misses ? "  (" misses " plugs never switched)" : ""; print m + 0, p + 0 > "/dev/stderr" }' 2>"$bench_tmp/$1"
}
[[ "$server" == pipewire ]] && echo "(on PipeWire the session manager may make the new sink default before a contender does; the figure is whichever came first)"
stats vantorelle "Vantorelle engine"
stats minimal "minimal client"
stats module "module-switch-on-connect"
awk '$1 == "plug" {print $4}' "$bench_tmp/probe.txt" | sort -n | awk '{a[NR]=$1} END {
  printf "%-26s median %.2f ms\n", "of which load-module alone", (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2 }'
read -r vm vp <"$bench_tmp/vantorelle"; read -r mm mp <"$bench_tmp/minimal"; read -r fm fp <"$bench_tmp/module"
awk -v vm="$vm" -v vp="$vp" -v mm="$mm" -v mp="$mp" -v fm="$fm" 'BEGIN {
  printf "Vantorelle / minimal client: median %.2fx, p95 %.2fx", vm/mm, vp/mp
  if (fm > 0) printf "; minimal client / module: median %.2fx", mm/fm; print "" }'
per_plug() { # label column
  awk -v l="$1" -v c="$2" '$1 == "round" && $2 == l {sum += $c; n++} END {printf "%.1f", sum / (n * 10)}' "$bench_tmp/probe.txt"
}
echo "connections opened per plug: Vantorelle $(per_plug vantorelle 3), minimal client $(per_plug minimal 3), module $(per_plug module 3) (the module's are the server's own)"
echo "events a subscribed client sees per plug: with Vantorelle $(per_plug vantorelle 4), minimal client $(per_plug minimal 4), module $(per_plug module 4)"
