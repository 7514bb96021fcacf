#!/usr/bin/env bash
# bench/run.sh: times tessaro-cli on a pack of 20,000 entries and 256 MiB,
# natively and under Wine, against tar and cp on the same entries in the same
# run, and the pack viewer's entry list filled from that pack against a plain
# list view (list_fill.exe), and writes the figures into bench/README.md
# between its result markers.
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
fill=$root/build/$arch/bin/list_fill.exe

if [ "${1:-}" != --inside ]; then
  for tool in "$cli" "$exe" "$fill"; do
    [ -x "$tool" ] || { echo "bench: $tool is not built (make build)" >&2; exit 1; }
  done
  if [ ! -f "$bench/bench.tar" ] || [ "$root/bench/make_bench_pack.py" -nt "$bench/bench.tar" ]; then
    echo "bench: making the pack and the tar of its entries" >&2
    rm -rf "$bench" && mkdir -p "$bench"
    python3 "$root/bench/make_bench_pack.py" "$bench"
    tar -cf "$bench/bench.tar" -C "$bench/tree" materials
    rm -rf "$bench/tree"
  fi
  # find's folder: the bench pack copied ten times.
  if [ ! -f "$bench/find/pack009.vpk" ] || [ "$bench/bench.vpk" -nt "$bench/find/pack009.vpk" ]; then
    echo "bench: copying the pack ten times for find" >&2
    rm -rf "$bench/find" && mkdir -p "$bench/find"
    for i in 0 1 2 3 4 5 6 7 8 9; do cp "$bench/bench.vpk" "$bench/find/pack00$i.vpk"; done
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

# Extraction on the disk, and in memory (tmpfs) where the shared disk's noise
# is gone and what is left is the programs' own work.
shm=/dev/shm/tessaro-bench-$$
mkdir -p "$shm"
trap 'rm -rf "$shm"' EXIT
winshm="Z:$(printf '%s' "$shm" | tr / '\\')"

task list.tar : tar -tf bench.tar
task list.native : "$cli" list bench.vpk
task list.wine : "$WINE" "$exe" list "$winbench\\bench.vpk"
task find.native : "$cli" find find "**/entry0000?.*"
task find.native.all : "$cli" find find "**.dlg"
task find.wine : "$WINE" "$exe" find "$winbench\\find" "**/entry0000?.*"
task copy.cp 'rm -f copy.vpk; sync' cp bench.vpk copy.vpk
for place in disk shm; do
  if [ $place = disk ]; then at=$bench; winat=$winbench; else at=$shm; winat=$winshm; fi
  task extract.$place.tar "fresh $at/out-tar" tar -xf bench.tar -C "$at/out-tar"
  task extract.$place.native "fresh $at/out-native" "$cli" extract bench.vpk -C "$at/out-native"
  task extract.$place.native1 "fresh $at/out-native1" env TESSARO_EXTRACT_THREADS=1 "$cli" extract bench.vpk -C "$at/out-native1"
  task extract.$place.wine "fresh $at/out-wine" "$WINE" "$exe" extract "$winbench\\bench.vpk" -C "$winat\\out-wine"
  task extract.$place.wine1 "fresh $at/out-wine1" env TESSARO_EXTRACT_THREADS=1 "$WINE" "$exe" extract "$winbench\\bench.vpk" -C "$winat\\out-wine1"
done

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

# Every extraction must agree with tar byte for byte, and find must find ten
# copies of each match.
for place in disk shm; do
  if [ $place = disk ]; then at=$bench; else at=$shm; fi
  for out in native native1 wine wine1; do
    diff -r "$at/out-tar" "$at/out-$out" >/dev/null || { echo "bench: $out extraction ($place) differs from tar" >&2; exit 1; }
  done
  rm -rf "$at"/out-*
done
[ "$("$cli" find find "**/entry0000?.*" | wc -l)" = 100 ] || { echo "bench: find did not find 10 x 10 entries" >&2; exit 1; }
rm -f copy.vpk

# The viewer's entry list, from the click on the pack to its last row painted,
# against a plain list view filled the simple way (list_fill.exe times both).
declare -A fillms
# Wine's console output ends its lines with CR LF.
while read -r key value; do fillms[$key]=$value; done < <("$WINE" "$fill" "$winbench\\bench.vpk" | tr -d '\r')

ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ratio4() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a / b }'; }
entries=$("$cli" list bench.vpk | wc -l)
size=$(stat -c %s bench.vpk)
row() { # TASK LABEL KEY BASELINE_KEY
  echo "| $1 | $2 | $(ms "${best[$3]}") | $(ratio "${best[$3]}" "${best[$4]}") |"
}
results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "pack: $entries entries, $size bytes; best of $runs runs, page cache warm."
  echo
  echo "| task | command | time | ratio to baseline |"
  echo "|---|---|---|---|"
  row list '`tar -tf` (baseline)' list.tar list.tar
  row list '`tessaro-cli list`, native' list.native list.tar
  row list '`tessaro-cli.exe list`, Wine' list.wine list.tar
  for place in disk shm; do
    if [ $place = disk ]; then where="extract all (disk)"; else where="extract all (tmpfs)"; fi
    row "$where" '`tar -xf` (baseline)' extract.$place.tar extract.$place.tar
    row "$where" '`tessaro-cli extract`, native' extract.$place.native extract.$place.tar
    row "$where" '`tessaro-cli extract`, native, one thread' extract.$place.native1 extract.$place.tar
    row "$where" '`tessaro-cli.exe extract`, Wine' extract.$place.wine extract.$place.tar
    row "$where" '`tessaro-cli.exe extract`, Wine, one thread' extract.$place.wine1 extract.$place.tar
  done
  echo "| copy the pack | \`cp\` | $(ms "${best[copy.cp]}") | $(ratio "${best[copy.cp]}" "${best[extract.disk.tar]}") of \`tar -xf\` (disk) |"
  echo
  echo "find in ten copies of the pack ($((entries * 10)) entries), against the 100 ms goal:"
  echo
  echo "| task | command | time | share of 100 ms |"
  echo "|---|---|---|---|"
  echo "| find, 100 matches | \`tessaro-cli find\`, native | $(ms "${best[find.native]}") | $(ratio "${best[find.native]}" 100000) |"
  echo "| find, 25,000 matches | \`tessaro-cli find\`, native | $(ms "${best[find.native.all]}") | $(ratio "${best[find.native.all]}" 100000) |"
  echo "| find, 100 matches | \`tessaro-cli.exe find\`, Wine | $(ms "${best[find.wine]}") | $(ratio "${best[find.wine]}" 100000) |"
)
printf '%s\n' "$results"

fill_results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "from the click on the pack to its last row painted, best of 3."
  echo
  echo "| rows | filled by | time | ratio to baseline |"
  echo "|---|---|---|---|"
  echo "| 1,000 | a plain list view, row after row with redrawing on (baseline) | ${fillms[simple.first]} ms | 1.00 |"
  echo "| 1,000 | the viewer | ${fillms[viewer.first]} ms | $(ratio4 "${fillms[viewer.first]}" "${fillms[simple.first]}") |"
  echo "| $(printf '%s' "${fillms[entries]}" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta') | the viewer | ${fillms[viewer.all]} ms | $(ratio4 "${fillms[viewer.all]}" "${fillms[simple.first]}") |"
)
printf '%s\n' "$fill_results"

readme=$root/bench/README.md
python3 - "$readme" results "$results" list-fill "$fill_results" <<'PY'
import sys
path, blocks = sys.argv[1], sys.argv[2:]
text = open(path, encoding="utf-8").read()
for name, figures in zip(blocks[::2], blocks[1::2]):
    begin, end = "<!-- %s -->" % name, "<!-- /%s -->" % name
    head, rest = text.split(begin, 1)
    _, tail = rest.split(end, 1)
    text = head + begin + "\n" + figures + "\n" + end + tail
open(path, "w", encoding="utf-8").write(text)
PY
echo "bench: figures written to bench/README.md" >&2
