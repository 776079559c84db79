#!/usr/bin/env bash
# Times the two reports against a private sound server with 10 and then 200 virtual devices,
# interleaved run by run with `pactl list short sinks` and `pactl list short`, so a slow moment of
# the machine hits all four alike. Then counts the libraries and page faults of one report run.
# Usage: bench/reports.sh [build-dir] [pulseaudio|pipewire|both]   (default: build both)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
server=${2:-both}
if [[ "$server" == both ]]; then
  "$0" "$build" pulseaudio
  echo
  exec "$0" "$build" pipewire
fi
binary="$(cd "$here/.." && pwd)/$build/vantorelle"
[[ -x "$binary" ]] || { echo "build the program first: $binary" >&2; exit 1; }
source "$here/lib.sh"
runs=${RUNS:-21}

case "$server" in
  pulseaudio) start_daemon ;;
  pipewire) start_pipewire ;;
  *) echo "unknown server: $server" >&2; exit 2 ;;
esac

# Wall time of one run in microseconds, without a clock process of its own.
elapsed_us() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  echo $(( (${end/./} - ${start/./}) ))
}
median_of() { sort -n | awk '{a[NR]=$1} END {m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; printf "%.2f", m/1000}'; }

echo "$server, $runs runs each, medians in ms"
printf '%-8s %9s %9s %11s %11s %10s %10s\n' devices status list "pactl sinks" "pactl short" \
  "status/x" "list/x"
total=0
for count in 10 200; do
  add_sinks $((count - total)) "n$count"
  total=$count
  status=() list=() sinks=() short=()
  for _ in $(seq "$runs"); do
    status+=("$(elapsed_us "$binary" --status)")
    list+=("$(elapsed_us "$binary" --list-devices)")
    sinks+=("$(elapsed_us pactl list short sinks)")
    short+=("$(elapsed_us pactl list short)")
  done
  s=$(printf '%s\n' "${status[@]}" | median_of)
  l=$(printf '%s\n' "${list[@]}" | median_of)
  p=$(printf '%s\n' "${sinks[@]}" | median_of)
  q=$(printf '%s\n' "${short[@]}" | median_of)
  printf '%-8s %9s %9s %11s %11s %10.2f %10.2f\n' "$count" "$s" "$l" "$p" "$q" \
    "$(awk "BEGIN {print $s / $p}")" "$(awk "BEGIN {print $l / $p}")"
done

# What one report run loads (every object the dynamic loader initialises, the program included)
# and the page faults it takes.
libraries=$(LD_DEBUG=files "$binary" --status 2>&1 >/dev/null | grep -c 'calling init:')
faults=$(/usr/bin/time -f '%R' "$binary" --status 2>&1 >/dev/null | tail -1)
echo "--status loads $libraries objects and takes $faults minor page faults"
