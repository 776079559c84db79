#!/usr/bin/env bash
# Long use of the program as users run it, its window open (offscreen), on a private sound server:
# plug and unplug a device ranked first N times, restart the server M times and change the lid
# (UPower stood in by dbusmock on a private system bus) L times, the restarts and lid changes
# spread among the plugs. Reports resident memory and open descriptors at the start, after a
# warm-up (a tenth of the plugs, one restart, one close and open of the lid) and at the end, and
# every plug after which the default did not become the plugged device (and every lid change
# after which the input did not move off or back to the built-in microphone).
# Usage: bench/soak.sh [build-dir] [plugs] [restarts] [lid-changes] [pulseaudio|pipewire]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
plugs=${2:-10000}
restarts=${3:-100}
lids=${4:-1000}
server=${5:-pulseaudio}
source "$here/lib.sh"
source "$here/fault_lib.sh"

# An external input ranked below the built-in one takes over while the lid is closed.
write_stacks
sed -i 's/{"uid": "builtin_mic", "name": "Built-in Microphone"}/&, {"uid": "desk_mic", "name": "Desk Microphone"}/' "$settings"
start_server() {
  if [[ "$server" == pipewire ]]; then start_pipewire; else start_daemon; fi
  plug_builtin_mic >/dev/null; plug_speakers >/dev/null; plug desk_mic in "Desk Microphone" usb >/dev/null
}
# A crash of the server: everything it ran goes at once, and comes back without our devices.
restart_server() {
  local pid
  for pid in $daemon_pid; do kill -9 "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$bench_tmp/bus" "$bench_tmp/runtime"
  start_server
}

helpers=()
finish() {
  stop_engine || true
  for pid in "${helpers[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  stop_daemon
}
trap finish EXIT
bus() { # address
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$1" >/dev/null 2>&1 &
  helpers+=($!)
  for _ in $(seq 100); do [[ -S "$1" ]] && return 0; sleep 0.05; done
  echo "no bus at $1" >&2; return 1
}
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$bench_tmp/system_bus"
bus "$bench_tmp/system_bus"
/usr/bin/python3 -m dbusmock --template upower -p '{"LidIsPresent": true, "LidIsClosed": false}' >/dev/null 2>&1 &
helpers+=($!)
upower="timeout 5 gdbus call --system --dest org.freedesktop.UPower --object-path /org/freedesktop/UPower --method"
for _ in $(seq 100); do $upower org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1 && break; sleep 0.05; done
lid() { # true|false
  $upower org.freedesktop.DBus.Mock.UpdateProperties org.freedesktop.UPower "{'LidIsClosed': <$1>}" >/dev/null
}

start_server
# A session bus and runtime folder of its own, so this instance is the one there.
bus "$bench_tmp/session_bus"
mkdir -p -m 700 "$bench_tmp/run"
DBUS_SESSION_BUS_ADDRESS="unix:path=$bench_tmp/session_bus" XDG_RUNTIME_DIR="$bench_tmp/run" \
  QT_QPA_PLATFORM=offscreen start_engine "$build/vantorelle"
wait_defaults builtin_mic/speakers 10 >/dev/null || { echo "the program did not take over"; exit 1; }

# Only the sink changes in a plug cycle: one query a look keeps the loop quick.
wait_sink() { # name seconds
  local deadline=$(( $(date +%s%N) + $2 * 1000000000 ))
  until [[ "$(timeout 2 pactl get-default-sink 2>/dev/null)" == "$1" ]]; do
    (( $(date +%s%N) < deadline )) || return 1
    sleep 0.005
  done
}
missed=0 not_back=0
plug_cycle() { # number
  local module
  module=$(plug_usb_headphones)
  wait_sink usb_headphones 5 || { echo "plug $1: default sink $(timeout 2 pactl get-default-sink), not usb_headphones"; missed=$((missed + 1)); }
  timeout 5 pactl unload-module "$module"
  wait_sink speakers 5 || { echo "unplug $1: default sink $(timeout 2 pactl get-default-sink), not speakers"; not_back=$((not_back + 1)); }
}
restarted=0
restart_cycle() {
  restart_server
  restarted=$((restarted + 1))
  wait_defaults builtin_mic/speakers 10 >/dev/null || echo "restart $restarted: defaults $(defaults)"
}
lid_changes=0 lid_missed=0
lid_cycle() { # close, then open: two changes
  lid true
  wait_defaults desk_mic/speakers 5 >/dev/null || { echo "lid closed: defaults $(defaults)"; lid_missed=$((lid_missed + 1)); }
  lid false
  wait_defaults builtin_mic/speakers 5 >/dev/null || { echo "lid opened: defaults $(defaults)"; lid_missed=$((lid_missed + 1)); }
  lid_changes=$((lid_changes + 2))
}
alive() { kill -0 "$engine_pid" 2>/dev/null || { echo "the program died"; cat "$bench_tmp/engine.log"; exit 1; }; }
show() { # label
  alive
  printf '%-16s RSS %6d kB, descriptors %d\n' "$1:" "$(rss_kb "$engine_pid")" "$(ls "/proc/$engine_pid/fd" | wc -l)"
}
sample() { # label
  sleep 1 # what the last change set off has settled
  show "$1"
}

echo "$server: $plugs plugs, $restarts restarts, $lids lid changes; machine load $(cut -d' ' -f1-3 /proc/loadavg)"
start=$(date +%s)
sample start
warm=$(( plugs / 10 > 0 ? plugs / 10 : 1 ))
for i in $(seq 1 "$warm"); do plug_cycle "$i"; done
restart_cycle; lid_cycle
sample "after warm-up"
rss_warm=$(rss_kb "$engine_pid")

# The rest, with the restarts and lid changes due after the i-th plug spread evenly.
rest=$(( plugs - warm ))
for i in $(seq 1 "$rest"); do
  plug_cycle "$((warm + i))"
  while (( restarted < restarts && restarted * rest < restarts * i )); do restart_cycle; done
  while (( lid_changes + 1 < lids && lid_changes * rest < lids * i )); do lid_cycle; done
  # The trend on the way, unsettled, for runs too long to wait for the end.
  (( i % (rest / 10 > 0 ? rest / 10 : 1) )) || show "plug $((warm + i))"
done
while (( restarted < restarts )); do restart_cycle; done
while (( lid_changes + 1 < lids )); do lid_cycle; done
sample end
rss_end=$(rss_kb "$engine_pid")
echo "done in $(( $(date +%s) - start )) s: $plugs plugs, $restarted restarts, $lid_changes lid changes"
echo "plugs that did not switch: $missed; unplugs that did not go back to the speakers: $not_back;" \
  "lid changes that did not switch the input: $lid_missed"
echo "RSS growth after the warm-up: $(( rss_end - rss_warm )) kB"
[[ $missed -eq 0 && $not_back -eq 0 && $lid_missed -eq 0 ]]
