#!/usr/bin/env bash
# Real call programs on the engine: Chromium and Firefox (headless, a WebRTC call from the page to
# itself on the microphone, the other side played by an <audio> element) and linphonec (two
# instances calling each other on 127.0.0.1). None of them says its streams are a call, so the
# settings list them as calls applications, both directions routed to a headset.
# For each program, one call with the engine running (vantorelle_headless, whose notices are
# "[notification] " lines on its standard output), then one with it stopped. Reports where the
# program's streams were during the call, the "Call audio" notices of the call, what the server
# keeps after it (WirePlumber's restore-stream lines naming a target; PulseAudio's stream-restore
# database cannot be listed by a client) and where the next call opens.
# Needs, besides tools/deps.sh test: chromium firefox-esr linphone-cli (apt-get install them).
# Usage: bench/call_programs.sh [build-dir] [pulseaudio|pipewire|both]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
server=${2:-both}
if [[ "$server" == both ]]; then
  for one in pulseaudio pipewire; do "$0" "${1:-build}" "$one"; done
  exit
fi
for needed in chromium firefox-esr linphonec; do
  command -v "$needed" >/dev/null || echo "$needed is missing (apt-get install chromium firefox-esr linphone-cli); its rows are skipped" >&2
done
source "$here/lib.sh"
bench_settings <<JSON
{"outputPriority": [{"uid": "speakers", "name": "Speakers"}],
 "inputPriority": [{"uid": "mic", "name": "Built-in Microphone"}],
 "callsOutputPriority": [{"uid": "headset", "name": "Headset"}],
 "callsInputPriority": [{"uid": "headset_mic", "name": "Headset Microphone"}],
 "routeCallsOutput": true, "routeCallsInput": true,
 "callsApplications": ["chromium", "firefox-esr", "linphonec"]}
JSON

if [[ "$server" == pipewire ]]; then start_pipewire; else start_daemon module-stream-restore; fi
restore_state="$bench_tmp/home/state/wireplumber/restore-stream"
device() { # kind name description bus
  local properties="'device.description=\"$3\" device.bus=$4'"
  if [[ $1 == sink ]]; then
    timeout 5 pactl load-module module-null-sink "sink_name=$2" "sink_properties=$properties" >/dev/null
  elif [[ "$server" == pipewire ]]; then
    timeout 5 pactl load-module module-null-sink media.class=Audio/Source/Virtual "sink_name=$2" \
      "sink_properties=$properties" >/dev/null
  else # A microphone that produces sound, as the browsers' capture wants (it takes no properties).
    timeout 5 pactl load-module module-sine-source "source_name=$2" >/dev/null
  fi
}
device sink speakers "Speakers" pci
device sink headset "Headset" usb
device source mic "Built-in Microphone" pci
device source headset_mic "Headset Microphone" usb
timeout 5 pactl set-default-sink speakers
timeout 5 pactl set-default-source mic

# The engine with a session bus and runtime folder of its own, as call_routing.sh runs it.
bus="unix:path=$bench_tmp/bus-program"
dbus-daemon --session --nofork --nopidfile --address="$bus" >/dev/null 2>&1 &
bus_pid=$!
mkdir -p -m 700 "$bench_tmp/run-program"
engine_pid=
start_engine() { # log
  env DBUS_SESSION_BUS_ADDRESS="$bus" XDG_RUNTIME_DIR="$bench_tmp/run-program" \
    "$build/bench/vantorelle_headless" >"$1" 2>&1 &
  engine_pid=$!
  sleep 1 # its first look taken
}
stop_engine() { [[ -z $engine_pid ]] || { kill "$engine_pid"; wait "$engine_pid" || true; }; engine_pid=; }
client_pids=()
stop_client() {
  for pid in "${client_pids[@]}"; do kill -- "-$pid" 2>/dev/null || true; done
  for pid in "${client_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  client_pids=()
}
trap 'stop_client; stop_engine; kill $bus_pid $web_pid 2>/dev/null || true; stop_daemon' EXIT

# The program's streams: "out:SINK" and "in:SOURCE", sorted, for streams whose executable is $1.
places() {
  /usr/bin/python3 - "$1" <<'PY'
import json, subprocess, sys
def listed(kind):
    out = subprocess.run(["timeout", "5", "pactl", "-f", "json", "list", kind], capture_output=True, text=True).stdout
    return json.loads(out or "[]")
sinks = {d["index"]: d["name"] for d in listed("sinks")}
sources = {d["index"]: d["name"] for d in listed("sources")}
found = [f"out:{sinks.get(s['sink'], '?')}" for s in listed("sink-inputs")
         if s["properties"].get("application.process.binary") == sys.argv[1]]
found += [f"in:{sources.get(s['source'], '?')}" for s in listed("source-outputs")
          if s["properties"].get("application.process.binary") == sys.argv[1]]
print(" ".join(sorted(found)))
PY
}
# Waits up to $2 s for the program $1 to both play and record; prints where its streams are.
call_places() {
  local now=
  for _ in $(seq $(( $2 * 4 ))); do
    now=$(places "$1")
    [[ $now == *out:* && $now == *in:* ]] && break
    sleep 0.25
  done
  [[ $now == *out:* && $now == *in:* ]] && sleep 3 && now=$(places "$1") # settled
  echo "${now:-no streams}"
}
ended() { for _ in $(seq 40); do [[ -z $(places "$1") ]] && return; sleep 0.25; done; }
stored() { { grep -h ':target=' "$restore_state" 2>/dev/null || true; } | sort; }

# A call page: the microphone sent from one peer connection to a second, whose track plays.
mkdir -p "$bench_tmp/web"
cat >"$bench_tmp/web/call.html" <<'HTML'
<!doctype html><title>call</title><audio id="far" autoplay></audio><script>
(async () => {
  const mic = await navigator.mediaDevices.getUserMedia({audio: true});
  const near = new RTCPeerConnection(), far = new RTCPeerConnection();
  near.onicecandidate = e => e.candidate && far.addIceCandidate(e.candidate);
  far.onicecandidate = e => e.candidate && near.addIceCandidate(e.candidate);
  far.ontrack = e => { const audio = document.getElementById("far"); audio.srcObject = e.streams[0]; audio.play(); };
  mic.getTracks().forEach(track => near.addTrack(track, mic));
  await near.setLocalDescription(await near.createOffer());
  await far.setRemoteDescription(near.localDescription);
  await far.setLocalDescription(await far.createAnswer());
  await near.setRemoteDescription(far.localDescription);
  console.log("call up");
})().catch(e => console.log("call failed: " + e));
</script>
HTML
port=18470; [[ "$server" == pipewire ]] && port=18471
python3 -m http.server --bind 127.0.0.1 --directory "$bench_tmp/web" "$port" >/dev/null 2>&1 &
web_pid=$!
page="http://127.0.0.1:$port/call.html"

# Each starter runs one call of its program in the background, in a process group of its own.
launch() { setsid "$@" </dev/null >>"$bench_tmp/client.log" 2>&1 & client_pids+=($!); }
chromium_call() {
  launch chromium --headless=new --no-sandbox --disable-gpu --use-fake-ui-for-media-stream \
    --autoplay-policy=no-user-gesture-required --user-data-dir="$bench_tmp/chromium" "$page"
}
firefox_call() {
  mkdir -p "$bench_tmp/firefox" && rm -f "$bench_tmp/firefox/lock" "$bench_tmp/firefox/.parentlock"
  cat >"$bench_tmp/firefox/user.js" <<'PREFS'
user_pref("media.navigator.permission.disabled", true);
user_pref("media.navigator.streams.fake", false);
user_pref("media.autoplay.default", 0);
user_pref("media.autoplay.blocking_policy", 0);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
PREFS
  HOME="$bench_tmp/firefox" launch firefox-esr --headless --no-remote --profile "$bench_tmp/firefox" "$page"
}
linphonec_call() {
  local sip=26170; [[ "$server" == pipewire ]] && sip=25170
  for side in a:$sip b:$((sip + 10)); do
    mkdir -p "$bench_tmp/linphone-${side%:*}/.local/share/linphone" # its call history
    printf '[sip]\nsip_port=%d\nsip_tcp_port=0\n[sound]\nplayback_dev_id=PulseAudio: default\nringer_dev_id=PulseAudio: default\ncapture_dev_id=PulseAudio: default\n' \
      "${side#*:}" >"$bench_tmp/linphone-${side%:*}/rc"
  done
  # linphonec reads commands from its standard input and ends at its end: held open by sleep.
  HOME="$bench_tmp/linphone-b" launch sh -c "sleep 600 | linphonec -a -c '$bench_tmp/linphone-b/rc'"
  sleep 1
  HOME="$bench_tmp/linphone-a" launch sh -c \
    "sleep 600 | linphonec -c '$bench_tmp/linphone-a/rc' -s sip:b@127.0.0.1:$(( sip + 10 ))"
}

row() { printf '%s: %-11s | %-6s | %-44s | %-7s | %-30s | %s\n' "$server" "$@"; }
row client moved "streams during the call (engine running)" notices "kept after the call" "next call, engine stopped"
for client in chromium:chromium firefox-esr:firefox linphonec:linphonec; do
  binary=${client%%:*} starter=${client#*:}_call
  command -v "$binary" >/dev/null || { row "$binary" skipped "not installed"; continue; }
  before=$(stored)
  start_engine "$bench_tmp/engine-$binary.log"
  $starter
  during=$(call_places "$binary" 30)
  stop_client
  ended "$binary"
  sleep 2.5 # WirePlumber writes its state a moment after a change
  notices=$(grep -c '^\[notification\] .*used for this call' "$bench_tmp/engine-$binary.log" || true)
  kept=$(comm -13 <(echo "$before") <(stored) | tr '\n' ' ')
  [[ "$server" == pipewire ]] || kept=n/a
  [[ "$server" == pulseaudio || -f $restore_state ]] || kept="${kept:-none} (no state written)"
  stop_engine
  $starter
  next=$(call_places "$binary" 30)
  stop_client
  ended "$binary"
  # Streams on the headset's devices, of all the program's streams.
  moved="$(grep -oE '(out:headset|in:headset_mic)( |$)' <<<"$during" | wc -l)/$(wc -w <<<"${during/no streams/}")"
  row "$binary" "$moved" "$during" "$notices" "${kept:-none}" "$next"
  if [[ -n ${VERBOSE:-} ]]; then cat "$bench_tmp/engine-$binary.log" "$bench_tmp/client.log"; : >"$bench_tmp/client.log"; fi
done
