#!/usr/bin/env bash
# Runs every benchmark program; each reports its ratio to a baseline measured in the same run.
set -euo pipefail
dir=${1:-build/release/bench}
for b in "$dir"/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
