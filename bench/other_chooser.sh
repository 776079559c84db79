#!/usr/bin/env bash
# A plug while the server's module-switch-on-connect also chooses defaults: the engine
# (vantorelle_headless) with a stack of Laptop, Top; plugs of a device the stack ranks below the
# laptop and of one it ranks first, N each. Reports the final default after each plug (it must be
# the stack's choice) and the server's default changes per plug, counted by a subscribed client.
# Usage: bench/other_chooser.sh [build-dir] [plugs] [pulseaudio|pipewire]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
plugs=${2:-20}
server=${3:-pulseaudio}
source "$here/lib.sh"
bench_settings <<JSON
{"outputPriority": [{"uid": "top", "name": "Top"}, {"uid": "laptop", "name": "Laptop Speakers"},
                    {"uid": "low", "name": "Low"}]}
JSON
if [[ "$server" == pipewire ]]; then start_pipewire; else start_daemon; fi
timeout 5 pactl load-module module-null-sink sink_name=laptop \
  "sink_properties='device.description=\"Laptop Speakers\" device.form_factor=internal device.bus=pci'" >/dev/null
timeout 5 pactl load-module module-switch-on-connect ignore_virtual=no >/dev/null
pids=()
finish() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done; stop_daemon; }
trap finish EXIT
"$build/bench/vantorelle_headless" >"$bench_tmp/engine.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ "$(timeout 2 pactl get-default-sink)" == laptop ]] && break; sleep 0.05; done
stdbuf -oL pactl subscribe >"$bench_tmp/events.log" 2>&1 &
pids+=($!)
sleep 1
server_changes() { grep -c "'change' on server" "$bench_tmp/events.log" || true; }

echo "$server, module-switch-on-connect loaded, $plugs plugs each; machine load $(cut -d' ' -f1-3 /proc/loadavg)"
for sink in low top; do
  want=$([[ $sink == top ]] && echo top || echo laptop)
  changes=0 wrong=0
  for _ in $(seq "$plugs"); do
    before=$(server_changes)
    module=$(timeout 5 pactl load-module module-null-sink sink_name=$sink \
      "sink_properties='device.description=$sink device.bus=usb'")
    sleep 1 # the module, the engine and the session manager have all acted by then
    final=$(timeout 2 pactl get-default-sink)
    [[ "$final" == "$want" ]] || { wrong=$((wrong + 1)); echo "  plug of $sink ended on $final"; }
    changes=$((changes + $(server_changes) - before))
    timeout 5 pactl unload-module "$module"
    for _ in $(seq 100); do [[ "$(timeout 2 pactl get-default-sink)" == laptop ]] && break; sleep 0.05; done
    sleep 0.3
  done
  awk -v s="$sink" -v w="$want" -v n="$plugs" -v c="$changes" -v bad="$wrong" 'BEGIN {
    printf "plug of %-4s (stack picks %-6s): %d of %d ended on the stack'"'"'s choice; server default changes per plug %.1f\n",
      s, w, n - bad, n, c / n }'
done
echo "status says: $(timeout 5 "$build/vantorelle" --status | grep 'Another program' | sed 's/^ *//' | cut -c1-90)..."
