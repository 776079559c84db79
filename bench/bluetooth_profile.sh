#!/usr/bin/env bash
# Bluetooth profile changes on PipeWire, as WirePlumber 0.4 makes them: the headset's card stays,
# its nodes go and the next profile's nodes come after a gap. The headset is a stand-in (a card
# from PipeWire's device factory, null-sink nodes under the names the installed bluez monitor
# script gives); a USB DAC is the next output. N changes each way, first without the engine and
# then with it, with gaps of 15 ms, 300 ms and a random 10 to 20 ms. Prints the notices the engine
# posted, the server's default changes (WirePlumber's fallback and return, plus any set of ours)
# and where the default was after each change.
# Usage: bench/bluetooth_profile.sh [build-dir] [changes]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
count=${2:-10}
source "$here/lib.sh"
source "$here/fault_lib.sh"

script=/usr/share/wireplumber/scripts/monitors/bluez.lua
grep -q '"bluez_output"' "$script" && grep -q '"bluez_input"' "$script" \
  || { echo "$script does not name nodes bluez_output.<address>.<id>: update this bench" >&2; exit 1; }
address=00:11:22:33:44:55
name=${address//:/_}
output=bluez_output.$name.1   # the sink's id in the device, in both profiles
input=bluez_input.$name.0
echo "node names, as $script makes them: $output, $input"

bench_settings <<JSON
{"outputPriority": [{"uid": "bluez:$address:output", "name": "WH Headset"}, {"uid": "usb_dac", "name": "USB DAC"}],
 "inputPriority": [{"uid": "bluez:$address:input", "name": "WH Headset"}],
 "notifyDeviceChange": true}
JSON

start_pipewire
pw_env=(env HOME="$bench_tmp/home" XDG_RUNTIME_DIR="$bench_tmp/runtime"
        DBUS_SESSION_BUS_ADDRESS="unix:path=$bench_tmp/bus")
mkfifo "$bench_tmp/cli"
"${pw_env[@]}" pw-cli <"$bench_tmp/cli" >"$bench_tmp/pw-cli.log" 2>&1 &
daemon_pid+=" $!"
exec 7>"$bench_tmp/cli"
cli() { printf '%s\n' "$@" >&7; }

cli "create-device spa-device-factory { factory.name=api.v4l2.enum.udev media.class=Audio/Device device.name=bluez_card.$name device.description=\"WH Headset\" device.bus=bluetooth }"
card=
for _ in $(seq 100); do
  card=$("${pw_env[@]}" pw-cli ls Device | awk -v want="device.name = \"bluez_card.$name\"" \
    '/^\tid / {id=$2; sub(",", "", id)} index($0, want) {print id}')
  [[ -n "$card" ]] && break
  sleep 0.05
done
[[ -n "$card" ]] || { echo "no card" >&2; exit 1; }
node() { # name class profile channels
  echo "create-node adapter { factory.name=support.null-audio-sink node.name=$1 node.description=\"WH Headset\" media.class=$2 device.id=$card api.bluez5.address=\"$address\" api.bluez5.profile=$3 audio.channels=$4 }"
}
a2dp=("$(node "$output" Audio/Sink a2dp-sink 2)")
hfp=("$(node "$output" Audio/Sink headset-head-unit 1)" "$(node "$input" Audio/Source headset-head-unit 1)")
timeout 5 pactl load-module module-null-sink sink_name=usb_dac \
  "sink_properties='device.description=\"USB DAC\" device.bus=usb'" >/dev/null
cli "${a2dp[@]}"
for _ in $(seq 100); do timeout 2 pactl list sinks short | grep -q "$output" && break; sleep 0.05; done
timeout 5 pactl set-default-sink "$output"
profile=a2dp

gap_of() { # round
  case $(( $1 % 3 )) in 0) echo 0.015 ;; 1) echo 0.3 ;; *) printf '0.0%02d\n' $(( 10 + RANDOM % 11 )) ;; esac
}

rounds() { # label
  local changes=0 away=0
  timeout 600 pactl subscribe >"$bench_tmp/events" 2>/dev/null &
  local watcher=$!
  sleep 0.2
  for i in $(seq 1 "$count"); do
    if [[ $profile == a2dp ]]; then cli "destroy $output"; else cli "destroy $output" "destroy $input"; fi
    sleep "$(gap_of "$i")"
    if [[ $profile == a2dp ]]; then cli "${hfp[@]}"; profile=hfp; else cli "${a2dp[@]}"; profile=a2dp; fi
    sleep 0.5
    [[ "$(timeout 2 pactl get-default-sink)" == "$output" ]] || away=$((away + 1))
  done
  kill "$watcher" 2>/dev/null; wait "$watcher" 2>/dev/null || true
  changes=$(grep -c "'change' on server" "$bench_tmp/events" || true)
  echo "$1: $count changes, server default changes $changes ($(awk -v c="$changes" -v n="$count" 'BEGIN {printf "%.1f", c / n}') per change), default not on the headset after $away of them"
}

rounds "without the engine"
start_engine "$build/bench/vantorelle_headless"
wait_defaults "$([[ $profile == hfp ]] && echo "$input" || timeout 2 pactl get-default-source)/$output" 10 >/dev/null \
  || echo "the engine did not take over: $(defaults)"
sleep 0.5
lines_before=$(wc -l <"$bench_tmp/engine.log")
rounds "with the engine"
echo "notices the engine posted during the changes:"
tail -n +"$((lines_before + 1))" "$bench_tmp/engine.log" | sed 's/^/  /'
echo "  ($(tail -n +"$((lines_before + 1))" "$bench_tmp/engine.log" | grep -c '\[notification\]' || true) in all)"
stop_engine
