#!/usr/bin/env bash
# bench/find.sh: the viewer's filter box and "Find in all packs..." under
# Wine (find_bench.exe) on the bench pack of 20,000 entries and on ten
# copies of it (hard links: the same bytes, read through ten paths); written
# into bench/README.md between its find markers. Needs the Windows build.
set -eu
case ${1:-} in
  ""|--inside) ;;
  -h|--help) echo 'usage: bench/find.sh   (make bench)'; exit 0 ;;
  *) echo 'usage: bench/find.sh   (make bench)' >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
arch=$(bench_arch)
exe=$root/build/$arch/bin/find_bench.exe
bench=$root/build/bench-find
if [ "${1:-}" != --inside ]; then
  [ -f "$exe" ] || { echo "bench: $exe is not built (make build)" >&2; exit 1; }
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
  mkdir -p "$bench/ten"
  for i in 0 1 2 3 4 5 6 7 8 9; do ln -f "$bench/bench.vpk" "$bench/ten/pack00$i.vpk"; done
  exec "$root/tests/harness/with-wine.sh" "$arch" "$0" --inside
fi

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
declare -A v
# Wine's console output ends its lines with CR LF.
while read -r key value; do v[$key]=$value; done < <("$WINE" "$exe" "$(winpath "$bench/bench.vpk")" "$(winpath "$bench/ten")" | tr -d '\r')
[ "${v[search.shown]}" = 100 ] && [ "${v[search.matches]}" = 100 ] && [ "${v[search.table.matches]}" = 100 ] || { echo "bench: the search did not find 10 x 10 entries" >&2; exit 1; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "the bench pack (${v[entries]} entries) and ${v[search.packs]} copies of it; best of 3."
  echo
  echo "| task | done by | time | ratio to baseline | share of the goal |"
  echo "|---|---|---|---|---|"
  for f in narrow broad; do
    if [ $f = narrow ]; then text='`entry0000`'; else text='`materials/`'; fi
    echo "| filter $text, ${v[filter.$f.rows]} rows at the end | the same rows into a plain list view, redrawing off (baseline) | ${v[filter.$f.plain]} ms | 1.00 | |"
    echo "| | the filter box, slowest keystroke | ${v[filter.$f.slowest]} ms | $(ratio "${v[filter.$f.slowest]}" "${v[filter.$f.plain]}") | $(ratio "${v[filter.$f.slowest]}" 100) of 100 ms |"
    echo "| | the filter box, mean keystroke | ${v[filter.$f.mean]} ms | $(ratio "${v[filter.$f.mean]}" "${v[filter.$f.plain]}") | |"
  done
  echo "| \`**/entry0000?.*\` in ${v[search.packs]} packs, ${v[search.shown]} found | the pack library's search alone, no window (baseline) | ${v[search.alone]} ms | 1.00 | |"
  echo "| | each pack's whole entry table read, then its names matched | ${v[search.table]} ms | $(ratio "${v[search.table]}" "${v[search.alone]}") | |"
  echo "| | \"Find in all packs...\", pattern set to results listed | ${v[search.window]} ms | $(ratio "${v[search.window]}" "${v[search.alone]}") | $(ratio "${v[search.window]}" 300) of 300 ms |"
)
printf '%s\n' "$results"

write_figures find "$results"
echo "bench: find figures written to bench/README.md" >&2
