#!/usr/bin/env bash
# Times the two reports against a private daemon with 10 and then 200 virtual devices, beside
# `pactl list short sinks` in the same run. A report costs a fixed number of server round
# trips, so its ratio to pactl should stay flat as the device count grows.
# Usage: bench/reports.sh [build-dir]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
binary="$(cd "$here/.." && pwd)/${1:-build}/vantorelle"
[[ -x "$binary" ]] || { echo "build the program first: $binary" >&2; exit 1; }
source "$here/lib.sh"
export XDG_CONFIG_HOME="$bench_tmp/config"
runs=21

start_daemon
printf '%-8s %12s %12s %12s %10s %10s\n' devices "status ms" "list ms" "pactl ms" "status/x" "list/x"
total=0
for count in 10 200; do
  add_sinks $((count - total)) "n$count"
  total=$count
  status=$(median_ms $runs "$binary" --status)
  list=$(median_ms $runs "$binary" --list-devices)
  pactl_ms=$(median_ms $runs pactl list short sinks)
  printf '%-8s %12s %12s %12s %10.2f %10.2f\n' "$count" "$status" "$list" "$pactl_ms" \
    "$(awk "BEGIN {print $status / $pactl_ms}")" "$(awk "BEGIN {print $list / $pactl_ms}")"
done
