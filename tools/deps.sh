#!/usr/bin/env bash
# Installs the Debian packages Vantorelle needs that are missing (Debian 12 and 13).
# Usage: tools/deps.sh run|test|package|chroot
set -euo pipefail

# qt6-base-private-dev: the tray menu's platform menu type; librsvg2-bin: the icon sizes;
# qt6-tools-dev and qt6-l10n-tools: Qt Linguist's CMake support, lupdate and lrelease.
build=(cmake ninja-build g++ pkg-config ccache qt6-base-dev qt6-svg-dev libqt6svg6
       libpulse-dev libpipewire-0.3-dev libdbus-1-dev nlohmann-json3-dev
       qt6-base-private-dev librsvg2-bin qt6-tools-dev qt6-l10n-tools)
# qt6-wayland: without it the window cannot open in a Wayland session; libxcb-cursor0: without it
# Qt 6.5 and later cannot open it on X11; qt6-translations-l10n: Qt's own texts (a line edit's
# menu) in the user's language.
run=(pulseaudio pulseaudio-utils qt6-wayland libxcb-cursor0 qt6-translations-l10n)
# Debian 13 ships Qt's SVG icon engine and image format apart from libqt6svg6 (the tray icon
# and the symbols need them); Debian 12 has no such package.
release=$(. /etc/os-release && echo "${VERSION_ID:-}")
[[ "$release" == 12 ]] || build+=(qt6-svg-plugins)
# cpack -G DEB and the checks of what it makes.
package=(file dpkg-dev binutils lintian appstream desktop-file-utils)
# xdg-desktop-portal, xdg-desktop-portal-kde, libkf5globalaccel-bin: the real global-shortcut portal.
test=(googletest libgtest-dev libbenchmark-dev pulseaudio pulseaudio-utils python3-dbusmock
      adwaita-icon-theme dbus-daemon dbus-x11 fonts-inter pipewire pipewire-pulse wireplumber rtkit xvfb
      libglib2.0-bin xdg-desktop-portal xdg-desktop-portal-kde libkf5globalaccel-bin baresip-core
      libasound2-plugins)

case "${1:-run}" in
  run) wanted=("${build[@]}" "${run[@]}") ;;
  test) wanted=("${build[@]}" "${run[@]}" "${test[@]}") ;;
  package) wanted=("${build[@]}" "${package[@]}") ;;
  # tools/chroot-test.sh: the suite in a Debian 13 chroot.
  chroot) wanted=(debootstrap) ;;
  *) echo "usage: $0 run|test|package|chroot" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
