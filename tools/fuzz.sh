#!/usr/bin/env bash
# Builds the settings-decoder fuzzer with clang (libFuzzer + ASan + UBSan) and runs it.
# Usage: tools/fuzz.sh [runs] [extra libFuzzer flags...]   (default 10,000,000 runs)
# Needs the Debian packages clang and libclang-rt-14-dev. Work files go to build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10000000}
shift || true
out=build-fuzz
mkdir -p "$out/corpus"

clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer -Isrc \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  tests/fuzz/settings_fuzz.cpp src/store/SettingsJson.cpp -o "$out/settings_fuzz"

# New inputs go to build-fuzz/corpus; the seeds in tests/fuzz/corpus are only read.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$out/settings_fuzz" -runs="$runs" -timeout=5 -rss_limit_mb=2048 -max_len=8192 \
  -artifact_prefix="$out/" -print_final_stats=1 "$@" "$out/corpus" tests/fuzz/corpus
