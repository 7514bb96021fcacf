#!/usr/bin/env bash
# bench/extract_to.sh: the viewer's "Extract all to..." under Wine
# (extract_to_bench.exe) on the bench pack of 20,000 entries, with two
# threads against one (TESSARO_EXTRACT_THREADS=1, the baseline) in the same
# run, on the disk and in memory (tmpfs); each output compared byte for byte
# with the native tool's; written into bench/README.md between its
# extract-to markers.
#   RUNS=n   timed runs per case (default 3); the best one counts
# Needs the Windows build and the native tool (make build).
set -eu
case ${1:-} in
  ""|--inside) ;;
  -h|--help) echo 'usage: bench/extract_to.sh   (make bench; RUNS=n timed runs per case, default 3)'; exit 0 ;;
  *) echo 'usage: bench/extract_to.sh   (make bench; RUNS=n timed runs per case, default 3)' >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
arch=$(bench_arch)
exe=$root/build/$arch/bin/extract_to_bench.exe
cli=$root/build/native/bin/tessaro-cli
bench=$root/build/bench-extract-to
runs=${RUNS:-3}
if [ "${1:-}" != --inside ]; then
  for tool in "$exe" "$cli"; do
    [ -f "$tool" ] || { echo "bench: $tool is not built (make build)" >&2; exit 1; }
  done
  if [ ! -f "$bench/bench.vpk" ] || [ "$root/bench/make_bench_pack.py" -nt "$bench/bench.vpk" ]; then
    rm -rf "$bench" && mkdir -p "$bench"
    # The viewer tests' copy when it is there, else a pack of our own.
    tests_pack=$root/build/$arch/bench-pack/bench.vpk
    if [ -f "$tests_pack" ] && [ "$tests_pack" -nt "$root/bench/make_bench_pack.py" ]; then
      ln -f "$tests_pack" "$bench/bench.vpk"
    else
      python3 "$root/bench/make_bench_pack.py" --pack-only "$bench"
    fi
  fi
  exec "$root/tests/harness/with-wine.sh" "$arch" "$0" --inside
fi

cd "$bench"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
fresh() { rm -rf "$1" && mkdir "$1" && sync; }
shm=/dev/shm/tessaro-extract-to-$$
mkdir -p "$shm"
trap 'rm -rf "$shm"' EXIT
fresh reference
"$cli" extract bench.vpk -C reference
cat bench.vpk >/dev/null  # warm the page cache

# Round by round, each case once per round, so that a busy spell of the
# machine slows the baseline and the two threads alike; the best time counts.
declare -A best
for ((round = 0; round < runs; round++)); do
  for place in disk shm; do
    if [ $place = disk ]; then out=$bench/out; else out=$shm/out; fi
    for threads in 1 2; do
      fresh "$out"
      # Wine's console output ends its lines with CR LF.
      report=$(TESSARO_EXTRACT_THREADS=$threads "$WINE" "$exe" "$(winpath "$bench/bench.vpk")" "$(winpath "$out")" | tr -d '\r')
      case $report in
        *box*) echo "bench: the viewer's extraction ended with a box: $report" >&2; exit 1 ;;
      esac
      ms=${report#ms }
      diff -r reference "$out" >/dev/null || { echo "bench: the viewer's extraction ($place, $threads) differs" >&2; exit 1; }
      key=$place.$threads
      if [ -z "${best[$key]:-}" ] || awk -v a="$ms" -v b="${best[$key]}" 'BEGIN { exit !(a < b) }'; then best[$key]=$ms; fi
    done
  done
done
rm -rf "$bench/out" reference

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "the bench pack ($("$cli" list bench.vpk | wc -l) entries), \"Extract all to...\" from the command to the progress window gone; best of $runs, load average $(cut -d' ' -f1 /proc/loadavg) at the end."
  echo
  echo "| extract all | threads | time | ratio to baseline |"
  echo "|---|---|---|---|"
  for place in disk shm; do
    if [ $place = disk ]; then where="to the disk"; else where="to tmpfs"; fi
    echo "| $where | one (\`TESSARO_EXTRACT_THREADS=1\`, baseline) | ${best[$place.1]} ms | 1.00 |"
    echo "| | two | ${best[$place.2]} ms | $(ratio "${best[$place.2]}" "${best[$place.1]}") |"
  done
)
printf '%s\n' "$results"

write_figures extract-to "$results"
echo "bench: extract-to figures written to bench/README.md" >&2
