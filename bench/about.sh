#!/usr/bin/env bash
# bench/about.sh: what the about box costs under Wine, written into
# bench/README.md between its about markers:
#   - CPU use while the credits scroll for SECONDS (default 10): the box's
#     process CPU time over the wall time, against the same box open with its
#     scrolling stopped (the baseline), both with the box visible; and the
#     CPU the X server (Xvfb) and the Wine server spent meanwhile;
#   - the cost of one layout (Rebuild) of the credits, of an empty text (the
#     surfaces alone), and of one scroll step.
# Needs the Windows build (make build).
set -eu
case ${1:-} in
  ""|--inside) ;;
  -h|--help) echo 'usage: bench/about.sh   (make bench; SECONDS_SCROLLING=n seconds per timed run, default 10)'; exit 0 ;;
  *) echo 'usage: bench/about.sh   (make bench; SECONDS_SCROLLING=n seconds per timed run, default 10)' >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
seconds=${SECONDS_SCROLLING:-10}
arch=$(bench_arch)
exe=$root/build/$arch/bin/about_bench.exe
[ -f "$exe" ] || { echo "bench: $exe is not built (make build)" >&2; exit 1; }
if [ "${1:-}" != --inside ]; then
  exec "$root/tests/harness/with-wine.sh" "$arch" "$0" --inside
fi

# CPU ticks (user + system) of our Xvfb and of this prefix's wineserver,
# whose working folder is named after the prefix's inode.
hz=$(getconf CLK_TCK)
inode=$(stat -c %i "$WINEPREFIX")
helpers() {
  pgrep -f "^Xvfb $DISPLAY " || true
  for pid in $(pgrep -x wineserver || true); do
    case $(readlink "/proc/$pid/cwd" 2>/dev/null) in *-"$inode") echo "$pid" ;; esac
  done
}
ticks() {
  local total=0 pid
  for pid in $(helpers); do
    total=$((total + $(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo 0)))
  done
  echo "$total"
}
# run MODE: "process-cpu-ms wall-ms helper-cpu-ms"
run() {
  local before after line
  before=$(ticks)
  line=$("$WINE" "$exe" "$1" "$seconds" | tr -d '\r')
  after=$(ticks)
  set -- $line
  echo "$2 $4 $(((after - before) * 1000 / hz))"
}
pct() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f %%", 100 * a / b }'; }

read -r scroll_cpu scroll_wall scroll_helpers <<<"$(run scroll)"
read -r still_cpu still_wall still_helpers <<<"$(run still)"
set -- $("$WINE" "$exe" rebuild 20 | tr -d '\r')
rebuild=$2 empty=$4 step=$6 width=$8 height=${10} content=${12}

results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "credits panel $width x $height pixels, content $content pixels high; $seconds s per timed run after a second of warm-up."
  echo
  echo "| measure | value |"
  echo "|---|---|"
  echo "| box open, scrolling stopped (baseline): process CPU / wall | $(pct "$still_cpu" "$still_wall") |"
  echo "| box open, credits scrolling: process CPU / wall | $(pct "$scroll_cpu" "$scroll_wall") |"
  echo "| Xvfb + wineserver CPU / wall, stopped / scrolling | $(pct "$still_helpers" "$still_wall") / $(pct "$scroll_helpers" "$scroll_wall") |"
  echo "| one scroll step (compose and copy the panel), wall | $step ms |"
  echo "| one \`Rebuild\` of the credits | $rebuild ms |"
  echo "| one \`Rebuild\` of an empty text (the surfaces alone) | $empty ms |"
)
printf '%s\n' "$results"

write_figures about "$results"
echo "bench: about box figures written to bench/README.md" >&2
