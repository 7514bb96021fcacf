#!/usr/bin/env bash
# bench/run.sh: times tessaro-cli on a pack of 20,000 entries and 256 MiB,
# natively and under Wine, against tar and cp on the same entries in the same
# run, and writes the figures into bench/README.md between its result markers.
#   RUNS=n   timed runs per command (default 3); the best one counts
# Needs both builds (make build). Everything lives in build/bench.
set -eu
case ${1:-} in
  ""|--inside) ;;
  -h|--help) echo 'usage: bench/run.sh   (make bench; RUNS=n timed runs per command, default 3)'; exit 0 ;;
  *) echo 'usage: bench/run.sh   (make bench; RUNS=n timed runs per command, default 3)' >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/build/bench
cli=$root/build/native/bin/tessaro-cli
runs=${RUNS:-3}
# The 32-bit tool where the host can start it, else the 64-bit one.
arch=${TESSARO_WINE_ARCH:-}
if [ -z "$arch" ]; then
  arch=win64
  "$root/tests/harness/can-run-win32.sh" >/dev/null && arch=win32
fi
exe=$root/build/$arch/bin/tessaro-cli.exe

if [ "${1:-}" != --inside ]; then
  for tool in "$cli" "$exe"; do
    [ -x "$tool" ] || { echo "bench: $tool is not built (make build)" >&2; exit 1; }
  done
  if [ ! -f "$bench/bench.tar" ] || [ "$root/bench/make_bench_pack.py" -nt "$bench/bench.tar" ]; then
    echo "bench: making the pack and the tar of its entries" >&2
    rm -rf "$bench" && mkdir -p "$bench"
    python3 "$root/bench/make_bench_pack.py" "$bench"
    tar -cf "$bench/bench.tar" -C "$bench/tree" materials
    rm -rf "$bench/tree"
  fi
  # Wine needs the project's prefix, display and keep-alive process.
  exec "$root/tests/harness/with-wine.sh" "$arch" "$0" --inside
fi

cd "$bench"
winbench="Z:$(printf '%s' "$bench" | tr / '\\')"

declare -A best prepare run
tasks=()
# task KEY PREPARE COMMAND...: PREPARE (untimed, a shell snippet) runs before
# each timed run of COMMAND.
task() {
  local key=$1
  tasks+=("$key")
  prepare[$key]=$2
  shift 2
  run[$key]=$(printf '%q ' "$@")
}
fresh() { rm -rf "$1" && mkdir "$1" && sync; }

task list.tar : tar -tf bench.tar
task list.native : "$cli" list bench.vpk
task list.wine : "$WINE" "$exe" list "$winbench\\bench.vpk"
task copy.cp 'rm -f copy.vpk; sync' cp bench.vpk copy.vpk
task extract.tar 'fresh out-tar' tar -xf bench.tar -C out-tar
task extract.native 'fresh out-native' "$cli" extract bench.vpk -C out-native
task extract.wine 'fresh out-wine' "$WINE" "$exe" extract "$winbench\\bench.vpk" -C "$winbench\\out-wine"

cat bench.vpk bench.tar >/dev/null  # warm the page cache
# Round by round, every command once per round, so that a busy spell of the
# machine slows the baseline and the tool alike; the best time (in
# microseconds) of each command counts.
for ((round = 0; round < runs; round++)); do
  for key in "${tasks[@]}"; do
    eval "${prepare[$key]}"
    start=$(date +%s%N)
    eval "${run[$key]}" >/dev/null
    end=$(date +%s%N)
    took=$(((end - start) / 1000))
    if [ -z "${best[$key]:-}" ] || [ "$took" -lt "${best[$key]}" ]; then best[$key]=$took; fi
  done
done

# The three extractions must agree byte for byte.
diff -r out-tar out-native >/dev/null || { echo "bench: native extraction differs from tar" >&2; exit 1; }
diff -r out-tar out-wine >/dev/null || { echo "bench: Wine extraction differs from tar" >&2; exit 1; }
rm -rf out-tar out-native out-wine copy.vpk

ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
entries=$("$cli" list bench.vpk | wc -l)
size=$(stat -c %s bench.vpk)
results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "pack: $entries entries, $size bytes; best of $runs runs, page cache warm."
  echo
  echo "| task | command | time | ratio to baseline |"
  echo "|---|---|---|---|"
  echo "| list | \`tar -tf\` (baseline) | $(ms "${best[list.tar]}") | 1.00 |"
  echo "| list | \`tessaro-cli list\`, native | $(ms "${best[list.native]}") | $(ratio "${best[list.native]}" "${best[list.tar]}") |"
  echo "| list | \`tessaro-cli.exe list\`, Wine | $(ms "${best[list.wine]}") | $(ratio "${best[list.wine]}" "${best[list.tar]}") |"
  echo "| extract all | \`tar -xf\` (baseline) | $(ms "${best[extract.tar]}") | 1.00 |"
  echo "| extract all | \`tessaro-cli extract\`, native | $(ms "${best[extract.native]}") | $(ratio "${best[extract.native]}" "${best[extract.tar]}") |"
  echo "| extract all | \`tessaro-cli.exe extract\`, Wine | $(ms "${best[extract.wine]}") | $(ratio "${best[extract.wine]}" "${best[extract.tar]}") |"
  echo "| copy the pack | \`cp\` | $(ms "${best[copy.cp]}") | $(ratio "${best[copy.cp]}" "${best[extract.tar]}") of \`tar -xf\` |"
)
printf '%s\n' "$results"

readme=$root/bench/README.md
python3 - "$readme" "$results" <<'PY'
import sys
path, results = sys.argv[1], sys.argv[2]
text = open(path, encoding="utf-8").read()
begin, end = "<!-- results -->", "<!-- /results -->"
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
open(path, "w", encoding="utf-8").write(head + begin + "\n" + results + "\n" + end + tail)
PY
echo "bench: figures written to bench/README.md" >&2
