#!/usr/bin/env bash
# Short run of every fuzz target, each from its seed corpus under fuzz/corpus/NAME.
# Prints the executions of each run; stops at the first target that finds a fault.
set -uo pipefail
dir=${1:-build/fuzz/fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
work="$root/fuzz/corpus-run"
status=0
for f in "$dir"/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f"); name=${name#fuzz_}
  mkdir -p "$work/$name"
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  log="$work/$name.log"
  "$f" -max_total_time="$seconds" -timeout=2 -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/$name-" \
       "$work/$name" "${seeds[@]}" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  printf '%-24s %10s executions in %ss  %s\n' "$name" "${runs:-?}" "$seconds" "$([ $rc -eq 0 ] && echo clean || echo FAILED)"
  if [ $rc -ne 0 ]; then
    grep -E '^==[0-9]+==ERROR|^SUMMARY|artifact' "$log" | head -n 5
    status=1
  fi
done
exit $status
