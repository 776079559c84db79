#!/usr/bin/env bash
# Installs what is missing, builds the Debian package build-deb/vantorelle_<version>_<arch>.deb and
# checks it (lintian, the desktop entry, the AppStream metainfo). Install it with apt afterwards.
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

# Errors and warnings fail; info and pedantic notes are printed.
lintian --fail-on error,warning --display-info --pedantic "$deb"
desktop-file-validate data/vantorelle.desktop
appstreamcli validate --no-net --pedantic data/org.vantorelle.Vantorelle.metainfo.xml
echo "Built $deb"
