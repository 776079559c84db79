# Shared by the benchmark scripts: a private PulseAudio daemon in a temporary folder.
# Sourcing scripts call start_daemon, then use PULSE_SERVER; stop_daemon runs on exit.

bench_tmp=$(mktemp -d)
daemon_pid=

# The program's settings for the run, in a configuration folder of its own: written from
# standard input (JSON) by bench_settings.
export XDG_CONFIG_HOME="$bench_tmp/config"
settings="$XDG_CONFIG_HOME/Vantorelle/settings.json"
bench_settings() {
  mkdir -p "${settings%/*}"
  cat >"$settings"
}

start_daemon() {
  printf 'rlimit-nofile = 8192\n' >"$bench_tmp/daemon.conf"
  PULSE_CONFIG="$bench_tmp/daemon.conf" HOME="$bench_tmp" XDG_RUNTIME_DIR="$bench_tmp" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --disable-shm=yes -L "module-native-protocol-unix socket=$bench_tmp/native auth-anonymous=1" \
    ${1:+-L "$1"} >"$bench_tmp/daemon.log" 2>&1 &
  daemon_pid=$!
  export PULSE_SERVER="unix:$bench_tmp/native"
  for _ in $(seq 100); do timeout 2 pactl info >/dev/null 2>&1 && return 0; sleep 0.05; done
  echo "the private daemon did not start" >&2
  cat "$bench_tmp/daemon.log" >&2
  return 1
}

# PipeWire with its pulse server and session manager, on a private session bus and runtime folder.
start_pipewire() {
  mkdir -p "$bench_tmp/runtime" "$bench_tmp/home" && chmod 700 "$bench_tmp/runtime"
  local env=(env -u DISPLAY -u WAYLAND_DISPLAY -u PULSE_SERVER HOME="$bench_tmp/home"
             XDG_RUNTIME_DIR="$bench_tmp/runtime" XDG_CONFIG_HOME="$bench_tmp/home/config"
             XDG_STATE_HOME="$bench_tmp/home/state"
             DBUS_SYSTEM_BUS_ADDRESS="unix:path=$bench_tmp/no-system-bus"
             DBUS_SESSION_BUS_ADDRESS="unix:path=$bench_tmp/bus")
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$bench_tmp/bus" >/dev/null 2>&1 &
  daemon_pid="$!"
  for _ in $(seq 100); do [[ -S "$bench_tmp/bus" ]] && break; sleep 0.05; done
  "${env[@]}" pipewire >"$bench_tmp/pipewire.log" 2>&1 & daemon_pid+=" $!"
  for _ in $(seq 100); do [[ -S "$bench_tmp/runtime/pipewire-0" ]] && break; sleep 0.05; done
  "${env[@]}" wireplumber >"$bench_tmp/wireplumber.log" 2>&1 & daemon_pid+=" $!"
  "${env[@]}" pipewire-pulse >"$bench_tmp/pipewire-pulse.log" 2>&1 & daemon_pid+=" $!"
  export PULSE_SERVER="unix:$bench_tmp/runtime/pulse/native"
  # PipeWire's own record of the defaults, which the program reads there.
  export PIPEWIRE_REMOTE="$bench_tmp/runtime/pipewire-0"
  for _ in $(seq 200); do timeout 2 pactl info >/dev/null 2>&1 && return 0; sleep 0.05; done
  echo "PipeWire did not start" >&2
  cat "$bench_tmp"/*.log >&2
  return 1
}

stop_daemon() {
  # The newest first: the pulse server and session manager before PipeWire and the bus.
  local pids=($daemon_pid)
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    # A process that ends by the signal reports it: that is no failure of the clean-up.
    kill "${pids[i]}" 2>/dev/null && { wait "${pids[i]}" 2>/dev/null || true; }
  done
  rm -rf "$bench_tmp"
}
trap stop_daemon EXIT

# The contenders of a latency benchmark, each in the background with its log in $bench_tmp, and
# their helper processes; a script that has them ends them with stop_contenders on exit.
labels=() pids=() helpers=()
contender() { # label command...
  "${@:2}" >"$bench_tmp/$1.log" 2>&1 &
  labels+=("$1"); pids+=($!)
}
stop_contenders() {
  for pid in "${pids[@]}" "${helpers[@]}"; do kill -CONT "$pid" 2>/dev/null || true; kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}" "${helpers[@]}"; do wait "$pid" 2>/dev/null || true; done
  stop_daemon
}

# Each contender's median and p95 (from $bench_tmp/LABEL.stats) against the minimal client's.
ratios_to_minimal() {
  local mm mp m p
  read -r mm mp <"$bench_tmp/minimal.stats"
  for label in "${labels[@]}"; do
    [[ $label == minimal ]] && continue
    read -r m p <"$bench_tmp/$label.stats"
    awk -v l="$label" -v m="$m" -v p="$p" -v mm="$mm" -v mp="$mp" 'BEGIN {
      if (mm > 0 && mp > 0) printf "%-18s / minimal client: median %.2fx, p95 %.2fx\n", l, m / mm, p / mp }'
  done
}

add_sinks() { # count prefix
  for i in $(seq 1 "$1"); do
    timeout 5 pactl load-module module-null-sink "sink_name=$2_$i" \
      "sink_properties='device.description=\"Bench $2 $i\" device.bus=usb'" >/dev/null
  done
}

# Median wall time in milliseconds of running a command N times.
median_ms() { # runs command...
  local runs=$1; shift
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; printf "%.2f", m/1000}'
}
