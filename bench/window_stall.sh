#!/usr/bin/env bash
# The longest stall of the window's thread while the sound server is stopped for 3 s and the lid
# closes meanwhile (bench_window_stall in the real engine), with UPower stood in by dbusmock on a
# bus of its own. Each run starts a fresh engine with the lid open.
# Usage: bench/window_stall.sh [build-dir] [runs] [pulseaudio|pipewire]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
runs=${2:-3}
server=${3:-pulseaudio}
source "$here/lib.sh"
source "$here/fault_lib.sh"

write_stacks
if [[ "$server" == pipewire ]]; then start_pipewire; sound=${daemon_pid#* }; else start_daemon; sound=$daemon_pid; fi
plug_builtin_mic >/dev/null; plug_usb_mic >/dev/null; plug_speakers >/dev/null

export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$bench_tmp/system_bus"
dbus-daemon --session --nofork --nopidfile --address="$DBUS_SYSTEM_BUS_ADDRESS" >/dev/null 2>&1 &
lid_pids=$!
# Both end by the signal, which stop_daemon would take for a failure and stop at.
trap 'kill $lid_pids 2>/dev/null || true; stop_daemon' EXIT
for _ in $(seq 100); do [[ -S "$bench_tmp/system_bus" ]] && break; sleep 0.05; done
/usr/bin/python3 -m dbusmock --template upower -p '{"LidIsPresent": true, "LidIsClosed": false}' >/dev/null 2>&1 &
lid_pids+=" $!"
upower="timeout 5 gdbus call --system --dest org.freedesktop.UPower --object-path /org/freedesktop/UPower --method"
for _ in $(seq 100); do $upower org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1 && break; sleep 0.05; done
lid_command() { # true|false
  echo "$upower org.freedesktop.DBus.Mock.UpdateProperties org.freedesktop.UPower \"{'LidIsClosed': <$1>}\" >/dev/null"
}

for _ in $(seq "$runs"); do
  sh -c "$(lid_command false)"
  timeout 30 "$build/bench/bench_window_stall" "$(lid_command true)" $sound
done
