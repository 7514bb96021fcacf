#!/usr/bin/env bash
# bench/texture_view.sh: the viewer's preview of the real 2048x1024 sample
# (../shared/testdata/textures/dialog_feats) under Wine, from showing the
# entry to the picture painted, against the hex view of its .ttz in the same
# run (texture_view_bench.exe); written into bench/README.md between its
# texture-view markers. Needs the Windows build (make build).
set -eu
case ${1:-} in
  ""|--inside) ;;
  -h|--help) echo 'usage: bench/texture_view.sh   (make bench)'; exit 0 ;;
  *) echo 'usage: bench/texture_view.sh   (make bench)' >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
arch=$(bench_arch)
exe=$root/build/$arch/bin/texture_view_bench.exe
samples=$(cd "$root/.." && pwd)/shared/testdata/textures
pack=$root/build/bench-texture/sample.vpk
if [ "${1:-}" != --inside ]; then
  [ -f "$exe" ] || { echo "bench: $exe is not built (make build)" >&2; exit 1; }
  [ -f "$samples/dialog_feats.tth" ] || { echo "bench: SKIPPED, the real sample is not at $samples" >&2; exit 0; }
  mkdir -p "$(dirname "$pack")"
  # A pack of the two halves, made here, never kept in the project.
  python3 - "$root/tools" "$samples" "$pack" <<'PY'
import os, sys
sys.path.insert(0, sys.argv[1])
from make_demo import pack_bytes
samples, pack = sys.argv[2], sys.argv[3]
entries = [("materials/interface/dialog_feats." + half, open(os.path.join(samples, "dialog_feats." + half), "rb").read())
           for half in ("tth", "ttz")]
open(pack, "wb").write(pack_bytes(entries))
PY
  exec "$root/tests/harness/with-wine.sh" "$arch" "$0" --inside
fi

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
declare -A v
while read -r key value; do v[$key]=$value; done < <("$WINE" "$exe" "$(winpath "$pack")" | tr -d '\r')
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "in a 420 x 500 view; best of 5 each, from asking the view to show the entry to its window painted."
  echo
  echo "| shown | time | ratio to the hex view | share of the 300 ms goal |"
  echo "|---|---|---|---|"
  echo "| the .ttz in the hex view (baseline) | ${v[hex.show]} ms | 1.00 | $(ratio "${v[hex.show]}" 300) |"
  echo "| the texture, fitted (box filter), over the checkerboard | ${v[texture.show]} ms | $(ratio "${v[texture.show]}" "${v[hex.show]}") | $(ratio "${v[texture.show]}" 300) |"
  echo "| of which: the pair read and rebuilt (no window) | ${v[texture.load]} ms | | |"
  echo "| of which: decoded to RGBA (no window) | ${v[texture.decode]} ms | | |"
)
printf '%s\n' "$results"
write_figures texture-view "$results"
echo "bench: texture view figures written to bench/README.md" >&2
