#!/usr/bin/env bash
# Installs what is missing, builds the Debian package build-deb/vantorelle_<version>_<arch>.deb and
# checks it (the icon sizes, lintian, the desktop entry, the AppStream metainfo). Install it with apt afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache entries made in one clone serve every other clone of the project.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

tools/deps.sh package
# Configured for /usr, so the window module goes to the multiarch library folder.
cmake -S . -B build-deb -G Ninja -DVANTORELLE_TESTS=OFF -DVANTORELLE_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build-deb -j"$(nproc)"
(cd build-deb && cpack -G DEB)
deb=$(ls build-deb/vantorelle_*.deb)

# The mark at every size the icon theme looks up by name, each drawn at its size.
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
for size in 16 22 24 32 48 64 128 256; do
  png=usr/share/icons/hicolor/${size}x${size}/apps/vantorelle.png
  [[ -f "$contents/$png" && $(file -b "$contents/$png") == "PNG image data, $size x $size,"* ]] \
    || { echo "The package lacks $png at $size x $size" >&2; exit 1; }
done

# Errors and warnings fail; info and pedantic notes are printed.
lintian --fail-on error,warning --display-info --pedantic "$deb"
desktop-file-validate data/vantorelle.desktop
appstreamcli validate --no-net --pedantic data/org.vantorelle.Vantorelle.metainfo.xml
echo "Built $deb"
