#!/usr/bin/env bash
# Installs what is missing, builds Vantorelle, installs it into build-app/prefix (which gives it its
# application identity: desktop notices, login item, level meter) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache entries made in one clone serve every other clone of the project.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

tools/deps.sh run
cmake -S . -B build-app -G Ninja -DVANTORELLE_TESTS=OFF -DVANTORELLE_BENCH=OFF
cmake --build build-app -j"$(nproc)"
cmake --install build-app --prefix build-app/prefix >/dev/null

# A fresh container has no sound server: start a private one with a few virtual devices.
if ! timeout 5 pactl info >/dev/null 2>&1; then
  runtime=$(mktemp -d)
  echo "No sound server is running: starting a private one for this run (socket in $runtime)."
  export PULSE_SERVER="unix:$runtime/native"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    -L "module-native-protocol-unix socket=$runtime/native auth-anonymous=1" \
    -L "module-null-sink sink_name=laptop_speakers sink_properties='device.description=\"Laptop Speakers\" device.form_factor=internal device.bus=pci'" \
    -L "module-null-sink sink_name=usb_headphones sink_properties='device.description=\"USB Headphones\" device.bus=usb'" \
    -L "module-sine-source source_name=usb_microphone frequency=440" \
    >/dev/null 2>&1 &
  trap 'kill $! 2>/dev/null || true; rm -rf "$runtime"' EXIT
  for _ in $(seq 50); do timeout 2 pactl info >/dev/null 2>&1 && break; sleep 0.1; done
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: running offscreen, so the window is not shown but switching works."
  export QT_QPA_PLATFORM=offscreen
fi

build-app/prefix/bin/vantorelle "$@"
