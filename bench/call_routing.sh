#!/usr/bin/env bash
# Time from a call stream's appearance (the stream-new event a probe sees) to its move onto the
# calls device (the change event after which it plays there), for each contender on the same
# daemon, stamped by one probe and taking turns in rounds of 10 calls: the program as users run
# it with its window open (offscreen) and closed (--background), the engine alone
# (vantorelle_headless), and a minimal separate client that moves phone streams through the
# pulse layer (minimal_client.cpp).
# Each program contender has a session bus of its own. Also counts the server events a subscribed
# client sees per call, and whether a contender's moves left the server a memory of the calls
# device (a pin: the next phone stream starts there). PulseAudio runs module-stream-restore, as
# desktops do.
# Usage: bench/call_routing.sh [build-dir] [count] [pulseaudio|pipewire]  (count: calls each)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
count=${2:-40}
server=${3:-pulseaudio}
source "$here/lib.sh"
bench_settings <<JSON
{"outputPriority": [{"uid": "speakers", "name": "Speakers"}, {"uid": "headset", "name": "Headset"}],
 "callsOutputPriority": [{"uid": "headset", "name": "Headset"}], "routeCallsOutput": true}
JSON

if [[ "$server" == pipewire ]]; then start_pipewire; else start_daemon module-stream-restore; fi
for sink in speakers headset; do
  timeout 5 pactl load-module module-null-sink sink_name=$sink \
    "sink_properties='device.description=$sink device.bus=usb'" >/dev/null
done
timeout 5 pactl set-default-sink speakers

trap stop_contenders EXIT
program() { # label command...
  local bus="unix:path=$bench_tmp/bus-$1"
  dbus-daemon --session --nofork --nopidfile --address="$bus" >/dev/null 2>&1 &
  helpers+=($!)
  for _ in $(seq 100); do [[ -S "${bus#unix:path=}" ]] && break; sleep 0.05; done
  mkdir -p -m 700 "$bench_tmp/run-$1"
  contender "$1" env DBUS_SESSION_BUS_ADDRESS="$bus" XDG_RUNTIME_DIR="$bench_tmp/run-$1" QT_QPA_PLATFORM=offscreen "${@:2}"
}
program window-offscreen "$build/vantorelle"
program background "$build/vantorelle" --background
program headless "$build/bench/vantorelle_headless"
contender minimal "$build/bench/bench_minimal_client" headset
sleep 1 # every contender has taken its first look and subscribed

timeout 1200 "$build/bench/bench_call_routing" headset "$(( (count + 9) / 10 ))" 10 \
  $(for i in "${!labels[@]}"; do echo "${labels[i]} ${pids[i]}"; done) >"$bench_tmp/probe.txt"

stats() { # label: prints a line, leaves "median p95" in $bench_tmp/$1.stats
  awk -v l="$1" '$1 == "call" && $2 == l {print $3}' "$bench_tmp/probe.txt" | sort -n | awk -v name="$1" \
    -v misses="$(grep -c "^miss $1\$" "$bench_tmp/probe.txt" || true)" '{a[NR]=$1} END {
    m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; p=a[int(NR*0.95+0.999)];
    if (NR) printf "%-18s n=%d  median %6.2f ms  p95 %6.2f ms", name, NR, m, p; else printf "%-18s", name;
    if (misses) printf "  (%d never moved)", misses;
    print ""; print m + 0, p + 0 > "/dev/stderr" }' 2>"$bench_tmp/$1.stats"
}
echo "$server, $count calls each; machine load $(cut -d' ' -f1-3 /proc/loadavg)"
for label in "${labels[@]}"; do stats "$label"; done
ratios_to_minimal
echo "per call, events a subscribed client sees until the move / rounds whose last call left a pin:"
for label in "${labels[@]}"; do
  printf '  %-18s %s / %s of %s\n' "$label" \
    "$(awk -v l="$label" '$1 == "call" && $2 == l {sum += $4; n++} END {printf "%.1f", n ? sum / n : 0}' "$bench_tmp/probe.txt")" \
    "$(awk -v l="$label" '$1 == "pin" && $2 == l {sum += $3} END {print sum + 0}' "$bench_tmp/probe.txt")" \
    "$(grep -c "^pin $label " "$bench_tmp/probe.txt" || true)"
done
