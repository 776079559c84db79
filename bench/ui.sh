#!/usr/bin/env bash
# The window's figures:
#  1. start-up to the first painted window, offscreen: bench_ui_startup builds the application
#     as the program does and stamps its first paint; timed from before the process exists;
#  2. the installed program (so it has its application identity) under a private X server,
#     against a private pulseaudio daemon and session bus, beside pavucontrol-qt in the same
#     run: resident memory, CPU time and wake-ups (context switches of all threads, and
#     poll/ppoll calls under strace) over idle periods with the window open and closed;
#  3. CPU time while the Input pane's level meter runs on a tone whose loudness sweeps, so the
#     bar moves all the time (a steady tone would leave it still).
# Needs a build with VANTORELLE_BENCH=ON, and Debian's xvfb, xdotool, strace, pavucontrol-qt.
# Usage: bench/ui.sh [build-dir] [start-up runs] [idle seconds]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="$(cd "$here/.." && pwd)/${1:-build}"
runs=${2:-15}
idle=${3:-30}
source "$here/lib.sh"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  stop_daemon
}
trap cleanup EXIT

# The tone source of part 3 is the top-ranked input: plugging it in makes it the default.
bench_settings <<JSON
{"inputPriority": [{"uid": "tone", "name": "Tone"}, {"uid": "mic", "name": "USB Microphone"}],
 "outputPriority": [{"uid": "speakers", "name": "Laptop Speakers"}]}
JSON
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
pids+=("$(sed -n 2p <<<"$bus")")

start_daemon
timeout 5 pactl load-module module-null-sink sink_name=speakers \
  "sink_properties='device.description=\"Laptop Speakers\" device.form_factor=internal device.bus=pci'" >/dev/null
# A microphone that is plugged in but gets no sound: nothing flows through its record stream.
timeout 5 pactl load-module module-pipe-source source_name=mic "file=$bench_tmp/mic.fifo" \
  "source_properties='device.description=\"USB Microphone\" device.bus=usb'" >/dev/null
timeout 5 pactl set-default-source mic

median() { sort -n | awk '{a[NR]=$1} END {printf "%.1f", (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'; }

# --- 1. start-up ---------------------------------------------------------------------------
: >"$bench_tmp/first" >"$bench_tmp/filled" >"$bench_tmp/loading"
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  line=$(QT_QPA_PLATFORM=offscreen timeout 20 "$build/bench/bench_ui_startup" 2>/dev/null | tail -n 1)
  main=$(sed -E 's/.*main_ns=([0-9]+).*/\1/' <<<"$line")
  first=$(sed -E 's/.*first_paint_ns=([0-9]+).*/\1/' <<<"$line")
  filled=$(sed -E 's/.*filled_paint_ns=([0-9]+).*/\1/' <<<"$line")
  echo $(( (first - start) / 1000 )) >>"$bench_tmp/first"
  echo $(( (filled - start) / 1000 )) >>"$bench_tmp/filled"
  echo $(( (main - start) / 1000 )) >>"$bench_tmp/loading"
done
ms() { awk '{printf "%.1f\n", $1/1000}' "$1" | median; }
startup_first=$(ms "$bench_tmp/first")
startup_filled=$(ms "$bench_tmp/filled")
startup_loading=$(ms "$bench_tmp/loading")

# --- 2. the installed program and pavucontrol-qt under a private X server ------------------
prefix="$build/ui-prefix"
# What the installation holds (not the tests; the executable brings its module and data), then
# the installation.
cmake --build "$build" -j2 --target vantorelle >/dev/null
cmake --install "$build" --prefix "$prefix" >/dev/null
app="$prefix/bin/vantorelle"
x11_close="$build/bench/x11_close"

exec 3>"$bench_tmp/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s "$bench_tmp/display" ]] && break; sleep 0.05; done
exec 3>&-
export DISPLAY=":$(head -n 1 "$bench_tmp/display")"
export QT_QPA_PLATFORM=xcb

rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
cpu_ticks() { awk '{sub(/^.*\) /, ""); print $12 + $13}' "/proc/$1/stat"; } # utime + stime
switches() { # "thread count" lines: voluntary + involuntary context switches of each thread
  for task in /proc/"$1"/task/*; do
    awk -v t="${task##*/}" '/ctxt_switches:/ {s += $2} END {print t, s}' "$task/status" 2>/dev/null || true
  done
}
# Context switches between two switches() listings, over the threads alive at both ends (a
# thread pool's idle worker may end in between; its earlier count is not a wake-up).
switch_delta() { awk 'NR == FNR {a[$1] = $2; next} ($1 in a) {d += $2 - a[$1]} END {print d + 0}' "$1" "$2"; }
tick_ms=$(awk -v hz="$(getconf CLK_TCK)" 'BEGIN {print 1000 / hz}')

# Prints "cpu_ms switches polls" for `idle` seconds of the process, then 10 s under strace.
measure() { # pid
  local c0 c1 polls
  c0=$(cpu_ticks "$1"); switches "$1" >"$bench_tmp/s0"
  sleep "$idle"
  c1=$(cpu_ticks "$1"); switches "$1" >"$bench_tmp/s1"
  timeout -s INT 10 strace -f -c -e trace=poll,ppoll -o "$bench_tmp/strace.txt" -p "$1" >/dev/null 2>&1 || true
  polls=$(awk '$NF == "poll" || $NF == "ppoll" {n += $4} END {print n + 0}' "$bench_tmp/strace.txt")
  echo "$(awk -v d=$((c1 - c0)) -v t="$tick_ms" 'BEGIN {print d * t}') $(switch_delta "$bench_tmp/s0" "$bench_tmp/s1") $polls"
}

window_of() { timeout 15 xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null | head -n 1; }
sources_recording() { timeout 5 pactl list short source-outputs | wc -l; }

"$app" >"$bench_tmp/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
window=$(window_of "$app_pid")
[[ -n "$window" ]] || { echo "the program's window did not appear" >&2; exit 1; }
sleep 3 # start-up work settles
v_rss_start=$(rss_kib "$app_pid")
v_open_streams=$(sources_recording)
read -r v_open_cpu v_open_sw v_open_polls < <(measure "$app_pid")
v_rss_open=$(rss_kib "$app_pid")

"$x11_close" "$window"
for _ in $(seq 100); do [[ -z "$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null)" ]] && break; sleep 0.05; done
kill -0 "$app_pid" || { echo "closing the window ended the program" >&2; exit 1; }
sleep 3
v_closed_streams=$(sources_recording)
read -r v_closed_cpu v_closed_sw v_closed_polls < <(measure "$app_pid")
v_rss_closed=$(rss_kib "$app_pid")

# --- 3. the live meter: the window again (a second start asks the first), a sweeping tone ----
timeout 5 pactl load-module module-pipe-source source_name=tone "file=$bench_tmp/tone.fifo" format=s16le \
  rate=48000 channels=1 "source_properties='device.description=\"Tone\"'" >/dev/null
# 440 Hz from -50 dBFS up to full scale and back twice a second, written at the pace it plays.
/usr/bin/python3 - "$bench_tmp/tone.fifo" <<'PY' &
import array, math, sys, time
rate = 48000
second = array.array('h', (int(32000 * 10 ** (-2.5 * (0.5 + 0.5 * math.cos(4 * math.pi * i / rate)))
                               * math.sin(2 * math.pi * 440 * i / rate)) for i in range(rate))).tobytes()
step = len(second) // 50
with open(sys.argv[1], 'wb', buffering=0) as fifo:
    start = time.monotonic()
    for n in range(10 ** 9):
        offset = (n % 50) * step
        fifo.write(second[offset:offset + step])
        time.sleep(max(0.0, start + (n + 1) / 50 - time.monotonic()))
PY
pids+=($!)
for _ in $(seq 100); do [[ "$(timeout 2 pactl get-default-source)" == tone ]] && break; sleep 0.05; done
[[ "$(timeout 2 pactl get-default-source)" == tone ]] || { echo "the engine did not move to the tone" >&2; exit 1; }
"$app" >/dev/null 2>&1 || true
window=$(window_of "$app_pid")
[[ -n "$window" ]] || { echo "the window did not come back" >&2; exit 1; }
for _ in $(seq 100); do timeout 5 pactl list source-outputs | grep -q 'Source: [0-9]' && break; sleep 0.05; done
sleep 2
v_meter_streams=$(sources_recording)
read -r v_meter_cpu v_meter_sw v_meter_polls < <(measure "$app_pid")
v_rss_meter=$(rss_kib "$app_pid")
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true
timeout 5 pactl set-default-source mic

# --- pavucontrol-qt, same daemon, same X server (skipped where it is not installed) ---------
p_rss_start=0 p_open_streams=- p_open_cpu=- p_open_sw=- p_open_polls=- p_rss_open=0 p_after_close="not installed"
if command -v pavucontrol-qt >/dev/null; then
  pavucontrol-qt >/dev/null 2>&1 &
  pavu_pid=$!
  pids+=("$pavu_pid")
  window=$(window_of "$pavu_pid")
  [[ -n "$window" ]] || { echo "pavucontrol-qt's window did not appear" >&2; exit 1; }
  sleep 3
  p_rss_start=$(rss_kib "$pavu_pid")
  p_open_streams=$(sources_recording)
  read -r p_open_cpu p_open_sw p_open_polls < <(measure "$pavu_pid")
  p_rss_open=$(rss_kib "$pavu_pid")
  "$x11_close" "$window"
  for _ in $(seq 100); do kill -0 "$pavu_pid" 2>/dev/null || break; sleep 0.05; done
  p_after_close=$(kill -0 "$pavu_pid" 2>/dev/null && echo "keeps running" || echo "exits")
fi

# --- the table ------------------------------------------------------------------------------
mib() { awk -v k="$1" 'BEGIN {printf "%.1f MiB", k / 1024}'; }
echo
echo "Start-up to the first painted window (offscreen, median of $runs runs, from before exec):"
printf '  %-44s %8s ms\n' "process start to main()" "$startup_loading"
printf '  %-44s %8s ms\n' "first frame painted and flushed" "$startup_first"
printf '  %-44s %8s ms\n' "first frame after the engine's first scan" "$startup_filled"
echo
echo "Running program under Xvfb, private pulseaudio; idle periods of ${idle} s (wake-ups: context"
echo "switches of all threads; poll calls: poll+ppoll under strace -f over 10 s)."
printf '  %-38s %-12s %10s %10s %10s %8s\n' "" "RSS" "CPU ms" "wake-ups" "polls/10s" "streams"
row() { printf '  %-38s %-12s %10s %10s %10s %8s\n' "$1" "$(mib "$2")" "$3" "$4" "$5" "$6"; }
row "Vantorelle, after start (window open)" "$v_rss_start" "-" "-" "-" "$v_open_streams"
row "Vantorelle, idle, window open" "$v_rss_open" "$v_open_cpu" "$v_open_sw" "$v_open_polls" "$v_open_streams"
row "Vantorelle, idle, window closed" "$v_rss_closed" "$v_closed_cpu" "$v_closed_sw" "$v_closed_polls" "$v_closed_streams"
row "Vantorelle, live meter (moving bar)" "$v_rss_meter" "$v_meter_cpu" "$v_meter_sw" "$v_meter_polls" "$v_meter_streams"
row "pavucontrol-qt, after start" "$p_rss_start" "-" "-" "-" "$p_open_streams"
row "pavucontrol-qt, idle, window open" "$p_rss_open" "$p_open_cpu" "$p_open_sw" "$p_open_polls" "$p_open_streams"
echo "  pavucontrol-qt, window closed: $p_after_close"
echo "  (streams: record streams on the server while measuring; CPU over ${idle} s, clock tick ${tick_ms} ms)"
