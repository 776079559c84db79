#!/usr/bin/env bash
# Kills a process that saves the settings in a tight loop with SIGKILL at random moments, and
# checks after every kill that the file still decodes to one of the saved records and that the
# next start and save are not disturbed by what the kill left behind.
# Usage: bench/crash_safety.sh KILLS SAVE_LOOP_BINARY
set -euo pipefail

kills=${1:?kills}
helper=${2:?save_loop binary}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

"$helper" init "$folder"
declare -A seen=([A]=0 [B]=0 [C]=0)
temporaries=0
for ((i = 1; i <= kills; i++)); do
  "$helper" loop "$folder" &
  pid=$!
  # 1 to 40 ms: from still starting up to well inside the loop.
  sleep "$(printf '0.%03d' $((RANDOM % 40 + 1)))"
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null || true
  if ! result=$("$helper" check "$folder"); then
    echo "kill $i: $result"
    echo "crash-safety: $((i - 1)) passed, 1 failed"
    exit 1
  fi
  read -r which tmp <<<"$result"
  seen[$which]=$((seen[$which] + 1))
  [[ -n "$tmp" ]] && temporaries=$((temporaries + 1))
done
echo "kills: $kills; file held A: ${seen[A]}, B: ${seen[B]}, C (killed before its first save): ${seen[C]}; temporary file left: $temporaries"
echo "crash-safety: $kills passed, 0 failed"
