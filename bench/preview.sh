#!/usr/bin/env bash
# bench/preview.sh: the candidates for the viewer's text preview side by side
# under Wine (preview_bench.exe), on regent.dlg from the real pack 103 and on
# a 4 MB text, and the hex view on a 100 MB file; written into bench/README.md
# between its preview markers. Needs the Windows build (make build) and the
# real packs in ../shared/testdata.
set -eu
case ${1:-} in
  ""|--inside) ;;
  -h|--help) echo 'usage: bench/preview.sh   (make bench)'; exit 0 ;;
  *) echo 'usage: bench/preview.sh   (make bench)' >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
arch=$(bench_arch)
exe=$root/build/$arch/bin/preview_bench.exe
pack=$(cd "$root/.." && pwd)/shared/testdata/wesp_official_pack103.vpk
big=$root/build/bench/hundred.bin
if [ "${1:-}" != --inside ]; then
  [ -f "$exe" ] || { echo "bench: $exe is not built (make build)" >&2; exit 1; }
  [ -f "$pack" ] || { echo "bench: $pack is missing; the preview figures need the real pack" >&2; exit 1; }
  if [ ! -f "$big" ]; then
    mkdir -p "$(dirname "$big")"
    head -c $((100 << 20)) /dev/urandom >"$big"
  fi
  exec "$root/tests/harness/with-wine.sh" "$arch" "$0" --inside
fi

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
declare -A v
# Wine's console output ends its lines with CR LF.
while read -r key value; do v[$key]=$value; done < <("$WINE" "$exe" "$(winpath "$pack")" "$(winpath "$big")" | tr -d '\r')

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a / b }'; }
row() { # TEXT KEY LABEL GOAL_MS
  echo "| $1 | $3 | ${v[$2]} ms | $(ratio "${v[$2]}" "${v[${2%%.*}.edit]}") | $(ratio "${v[$2]}" "$4") |"
}
results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "a ${v[regent.bytes]}-byte regent.dlg and a 4 MiB text, in a 420 x 500 control, 8-point Arial; from setting the"
  echo "text to its last line painted; best of 3 (one run for anything over 2 s)."
  echo
  echo "| text | shown by | time | ratio to the wrapping edit control | share of the goal |"
  echo "|---|---|---|---|---|"
  row regent.dlg regent.edit 'word-wrapping edit control (until now; baseline)' 300
  row regent.dlg regent.nowrap 'edit control without wrapping' 300
  row regent.dlg regent.rich 'rich edit control, wrapping' 300
  row regent.dlg regent.view '`TextView`' 300
  row '4 MiB' big.edit 'word-wrapping edit control (baseline)' 1000
  row '4 MiB' big.nowrap 'edit control without wrapping' 1000
  row '4 MiB' big.view '`TextView`' 1000
  echo
  echo "| hex view on ${v[hex.bytes]} bytes | value |"
  echo "|---|---|"
  echo "| \`SetSource\` to the first screen painted | ${v[hex.open]} ms ($(ratio "${v[hex.open]}" 100) of the 100 ms goal) |"
  echo "| scrolled to the last row, painted | ${v[hex.end]} ms |"
  echo "| bytes read for both screens | ${v[hex.read]} |"
  echo "| memory the process gained meanwhile | ${v[hex.memory]} bytes |"
)
printf '%s\n' "$results"

write_figures preview "$results"
echo "bench: preview figures written to bench/README.md" >&2
