#!/usr/bin/env bash
# Time from a plug-in (load-module sent) to the server's change event that reports the new default
# sink, for each contender on the same daemon, stamped by one probe and taking turns in rounds of
# 10 plugs: the program as users run it, its window open (offscreen, and on a private X server
# when Xvfb is installed) and closed (--background); the engine alone (vantorelle_headless); a
# minimal separate client (minimal_client.cpp); the daemon's own module-switch-on-connect (the
# in-server floor). Each window contender has a session bus of its own, so each is the one
# instance there. Also counts, per plug, the connections each contender opens and the events a
# subscribed client sees.
# Ratios from one run of the daemons move by about a tenth from run to run on a small machine, more
# than plugs within a run can settle: with runs > 1 the whole bench runs that often, on fresh
# daemons, and ends with each contender's median over the runs.
# Usage: bench/switch_latency.sh [build-dir] [count] [pulseaudio|pipewire] [runs]  (count: plugs each)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
count=${2:-50}
server=${3:-pulseaudio}
runs=${4:-1}
if (( runs > 1 )); then
  all=$(mktemp)
  for run in $(seq "$runs"); do
    echo "== run $run of $runs"
    "$0" "${1:-build}" "$count" "$server" 1 | tee -a "$all"
  done
  echo "== over $runs runs, median of each run's ratio to the minimal client (lowest-highest):"
  awk '/\/ minimal client:/ {m[$1] = m[$1] " " $6 + 0; p[$1] = p[$1] " " $8 + 0; if (!($1 in seen)) {seen[$1]; order[++n] = $1}}
    function med(list,   a, k, i, j, t) { k = split(list, a, " ")
      for (i = 2; i <= k; i++) for (j = i; j > 1 && a[j-1] > a[j]; j--) { t = a[j]; a[j] = a[j-1]; a[j-1] = t }
      return sprintf("%.2fx (%.2f-%.2f)", k % 2 ? a[(k+1)/2] : (a[k/2] + a[k/2+1]) / 2, a[1], a[k]) }
    END { for (i = 1; i <= n; i++) printf "%-18s median %s, p95 %s\n", order[i], med(m[order[i]]), med(p[order[i]]) }' "$all"
  rm -f "$all"
  exit 0
fi
display=${XVFB_DISPLAY:-:127}
source "$here/lib.sh"
bench_settings <<JSON
{"outputPriority": [{"uid": "top_sink", "name": "Top"}, {"uid": "laptop", "name": "Laptop Speakers"}]}
JSON

if [[ "$server" == pipewire ]]; then start_pipewire; else start_daemon; fi
timeout 5 pactl load-module module-null-sink sink_name=laptop \
  "sink_properties='device.description=\"Laptop Speakers\" device.form_factor=internal device.bus=pci'" >/dev/null

trap stop_contenders EXIT
# The program with a session bus of its own: label platform arguments...
program() {
  local bus="unix:path=$bench_tmp/bus-$1"
  dbus-daemon --session --nofork --nopidfile --address="$bus" >/dev/null 2>&1 &
  helpers+=($!)
  for _ in $(seq 100); do [[ -S "${bus#unix:path=}" ]] && break; sleep 0.05; done
  contender "$1" env DBUS_SESSION_BUS_ADDRESS="$bus" XDG_RUNTIME_DIR="$bench_tmp/run-$1" QT_QPA_PLATFORM="$2" \
    "$build/vantorelle" "${@:3}"
}
mkdir -p -m 700 "$bench_tmp"/run-{offscreen,xvfb,background}
program window-offscreen offscreen
if command -v Xvfb >/dev/null && ! [[ -e "/tmp/.X11-unix/X${display#:}" ]]; then
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  helpers+=($!)
  for _ in $(seq 100); do [[ -e "/tmp/.X11-unix/X${display#:}" ]] && break; sleep 0.05; done
  DISPLAY=$display program window-xvfb xcb
fi
program background offscreen --background
contender headless "$build/bench/vantorelle_headless"
contender minimal "$build/bench/bench_minimal_client"
for _ in $(seq 100); do [[ "$(timeout 2 pactl get-default-sink)" == laptop ]] && break; sleep 0.05; done
sleep 1 # every contender has taken its first look and subscribed

# Each round's command leaves only its contender switching, then gives it time to catch up with
# what it missed while stopped.
unload="timeout 5 pactl unload-module module-switch-on-connect >/dev/null 2>&1;"
arguments=()
for i in "${!labels[@]}"; do
  others=$(for j in "${!pids[@]}"; do if [[ $j != "$i" ]]; then echo -n "${pids[j]} "; fi; done)
  arguments+=("${labels[i]}" "kill -STOP $others; $unload kill -CONT ${pids[i]} && sleep 0.5")
done
arguments+=(module "kill -STOP ${pids[*]} && timeout 5 pactl load-module module-switch-on-connect ignore_virtual=no >/dev/null && sleep 0.5")
timeout 1200 "$build/bench/bench_switch_latency" top_sink laptop "$(( (count + 9) / 10 ))" 10 "${arguments[@]}" \
  >"$bench_tmp/probe.txt"

stats() { # label: prints a line, leaves "median p95" in $bench_tmp/$1.stats
  awk -v l="$1" '$1 == "plug" && $2 == l {print $3}' "$bench_tmp/probe.txt" | sort -n | awk -v name="$1" \
    -v misses="$(grep -c "^miss $1\$" "$bench_tmp/probe.txt" || true)" '{a[NR]=$1} END {
    m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; p=a[int(NR*0.95+0.999)];
    if (NR) printf "%-18s n=%d  median %6.2f ms  p95 %6.2f ms", name, NR, m, p; else printf "%-18s", name;
    print misses ? "  (" misses " plugs never switched)" : ""; print m + 0, p + 0 > "/dev/stderr" }' 2>"$bench_tmp/$1.stats"
}
echo "$server, $count plugs each; machine load $(cut -d' ' -f1-3 /proc/loadavg)"
[[ "$server" == pipewire ]] && echo "(on PipeWire the session manager may make the new sink default before a contender does; the figure is whichever came first)"
for label in "${labels[@]}" module; do stats "$label"; done
awk '$1 == "plug" {print $4}' "$bench_tmp/probe.txt" | sort -n | awk '{a[NR]=$1} END {
  printf "%-18s median %6.2f ms\n", "load-module alone", (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2 }'
ratios_to_minimal
per_plug() { # label column
  awk -v l="$1" -v c="$2" '$1 == "round" && $2 == l {sum += $c; n++} END {printf "%.1f", n ? sum / (n * 10) : 0}' "$bench_tmp/probe.txt"
}
echo "per plug, connections opened / events a subscribed client sees (the module's are the server's own):"
for label in "${labels[@]}" module; do printf '  %-18s %s / %s\n' "$label" "$(per_plug "$label" 3)" "$(per_plug "$label" 4)"; done
