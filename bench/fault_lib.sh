# Shared by the fault scripts (restart_loop.sh, event_storm.sh): a headless engine on the private
# daemon of lib.sh, with the four devices these scripts plug, and ways to look at it.
# Sourced after lib.sh.

engine_pid=

write_stacks() { # [more settings, as JSON members]
  bench_settings <<JSON
{"inputPriority": [{"uid": "usb_mic", "name": "USB Microphone"}, {"uid": "builtin_mic", "name": "Built-in Microphone"}],
 "outputPriority": [{"uid": "usb_headphones", "name": "USB Headphones"}, {"uid": "speakers", "name": "Laptop Speakers"}]${1:+, $1}}
JSON
}

plug() { # name kind(in|out) description bus [form_factor]
  local props="device.description=\"$3\" device.bus=$4${5:+ device.form_factor=$5}"
  if [[ $2 == in ]]; then
    rm -f "$bench_tmp/$1.fifo"
    timeout 5 pactl load-module module-pipe-source "source_name=$1" "file=$bench_tmp/$1.fifo" \
      "source_properties='$props'"
  else
    timeout 5 pactl load-module module-null-sink "sink_name=$1" "sink_properties='$props'"
  fi
}

plug_builtin_mic() { plug builtin_mic in "Built-in Microphone" pci internal; }
plug_usb_mic() { plug usb_mic in "USB Microphone" usb; }
plug_speakers() { plug speakers out "Laptop Speakers" pci internal; }
plug_usb_headphones() { plug usb_headphones out "USB Headphones" usb; }

start_engine() { # binary
  "$1" >"$bench_tmp/engine.log" 2>&1 &
  engine_pid=$!
}

stop_engine() {
  [[ -n "$engine_pid" ]] || return 0
  kill "$engine_pid" 2>/dev/null || true
  local status=0
  wait "$engine_pid" 2>/dev/null || status=$?
  engine_pid=
  return "$status"
}

defaults() { echo "$(timeout 2 pactl get-default-source 2>/dev/null)/$(timeout 2 pactl get-default-sink 2>/dev/null)"; }

# Waits until the defaults are "$1" (source/sink), up to $2 seconds; prints the milliseconds taken.
wait_defaults() {
  local start now
  start=$(date +%s%N)
  while true; do
    [[ "$(defaults)" == "$1" ]] && { echo $(( ($(date +%s%N) - start) / 1000000 )); return 0; }
    now=$(date +%s%N)
    (( (now - start) / 1000000 > ${2:-10} * 1000 )) && return 1
    sleep 0.02
  done
}

rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

# The stacks in the settings file as "input uids / output uids".
stacks() {
  /usr/bin/python3 -c 'import json,sys; s=json.load(open(sys.argv[1]))
print(",".join(e["uid"] for e in s.get("inputPriority",[])) + " / " + ",".join(e["uid"] for e in s.get("outputPriority",[])))' "$settings"
}

stats_ms() { # label values...
  local label=$1; shift
  printf '%s\n' "$@" | sort -n | awk -v label="$label" '{a[NR]=$1} END {
    if (NR == 0) { print label ": none"; exit }
    m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; p=a[int(NR*0.95+0.999)];
    printf "%s: n=%d median %d ms, p95 %d ms, max %d ms\n", label, NR, m, p, a[NR] }'
}
