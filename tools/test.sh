#!/usr/bin/env bash
# Installs what is missing, builds Vantorelle and runs the whole test suite.
# Usage: tools/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan build in build-asan/)
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache entries made in one clone serve every other clone of the project.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

dir=build
options=(-DVANTORELLE_TESTS=ON -DVANTORELLE_BENCH=ON)
if [[ "${1:-}" == "--sanitize" ]]; then
  dir=build-asan
  options=(-DVANTORELLE_TESTS=ON -DVANTORELLE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DVANTORELLE_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

tools/deps.sh test
cmake -S . -B "$dir" -G Ninja "${options[@]}"
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
