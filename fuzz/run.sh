#!/usr/bin/env bash
# fuzz/run.sh [TARGET...]: fuzzes each target (default: all) for FUZZ_SECONDS
# (default 300) on one core, starting from its committed corpus, and prints
# executions, coverage and findings. New inputs go to build/fuzz/work/TARGET;
# findings to build/fuzz/findings/TARGET. With MERGE=1 the committed corpus
# takes in, minimised, what the run added (commit it: make test replays it).
# Needs the fuzz build (make fuzz builds it first).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-300}
case $seconds in ''|*[!0-9]*) echo "usage: FUZZ_SECONDS=N fuzz/run.sh [TARGET...] (N whole seconds)" >&2; exit 2 ;; esac
all=(vpk_fuzz)
[ -f "$root/build/fuzz/bin/markup_fuzz" ] && all+=(markup_fuzz)
[ -f "$root/build/fuzz/bin/texture_fuzz" ] && all+=(texture_fuzz)
if [ "${1:-}" = --help ] || [ "${1:-}" = -h ]; then
  echo "usage: [FUZZ_SECONDS=N] [MERGE=1] fuzz/run.sh [TARGET...]   targets: ${all[*]}"
  exit 0
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
status=0
for target in "${targets[@]}"; do
  bin=$root/build/fuzz/bin/$target
  corpus=$root/fuzz/corpus/$target
  [ -x "$bin" ] || { echo "fuzz: $bin is not built (make fuzz builds it)" >&2; exit 2; }
  [ -d "$corpus" ] || { echo "fuzz: no corpus folder $corpus" >&2; exit 2; }
  work=$root/build/fuzz/work/$target
  findings=$root/build/fuzz/findings/$target
  log=$root/build/fuzz/$target.log
  mkdir -p "$work" "$findings"
  "$bin" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" \
    "$work" "$corpus" >"$log" 2>&1
  code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  found=$(find "$findings" -type f | wc -l)
  echo "$target: ${runs:-?} executions in ${seconds} s (${rate:-?}/s), coverage ${cov:-?} edges, findings ${found} (log: $log)"
  if [ "$code" -ne 0 ] || [ "$found" -gt 0 ]; then
    status=1
    grep -E 'check failed|ERROR|SUMMARY' "$log" | head -n 5 >&2
  fi
  if [ "${MERGE:-0}" = 1 ]; then
    "$bin" -merge=1 "$corpus" "$work" >"$log.merge" 2>&1 || { echo "fuzz: merge failed, see $log.merge" >&2; status=1; }
    echo "$target: committed corpus now $(ls "$corpus" | wc -l) inputs"
  fi
done
exit $status
