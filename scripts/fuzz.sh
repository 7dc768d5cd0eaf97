#!/usr/bin/env bash
# Short run of every fuzz target, each from its seed corpus under fuzz/corpus/NAME.
set -euo pipefail
dir=${1:-build/fuzz/fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
work="$root/fuzz/corpus-run"
for f in "$dir"/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f"); name=${name#fuzz_}
  mkdir -p "$work/$name"
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  echo "== $name (${seconds}s)"
  "$f" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 "$work/$name" "${seeds[@]}" 2>&1 \
    | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz target $name failed"; exit 1; }
done
