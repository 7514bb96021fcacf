#!/usr/bin/env bash
# bench/floor.sh: times create_floor.exe under Wine, which writes the bench
# pack's 20,000 files the cheapest ways the Win32 API offers, against tar -xf
# of the same files and tessaro-cli.exe extract, in the same run, on the disk
# and in tmpfs, and writes the figures into bench/README.md between its floor
# markers.
#   RUNS=n   timed runs per command (default 3); the best one counts
# Needs the win64 build of create_floor and tessaro-cli (make build) and the
# bench pack (bench/run.sh makes it).
set -eu
case ${1:-} in
  ""|--inside) ;;
  *) echo 'usage: bench/floor.sh   (RUNS=n timed runs per command, default 3)' >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/build/bench
runs=${RUNS:-3}
arch=win64
floor=$root/build/$arch/bin/create_floor.exe
exe=$root/build/$arch/bin/tessaro-cli.exe

if [ "${1:-}" != --inside ]; then
  for tool in "$floor" "$exe"; do
    [ -x "$tool" ] || { echo "floor: $tool is not built (make build)" >&2; exit 1; }
  done
  [ -f "$bench/bench.tar" ] || { echo "floor: no bench pack in $bench (run bench/run.sh first)" >&2; exit 1; }
  exec "$root/tests/harness/with-wine.sh" "$arch" "$0" --inside
fi

cd "$bench"
shm=/dev/shm/tessaro-floor-$$
mkdir -p "$shm"
trap 'rm -rf "$shm"' EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
fresh() { rm -rf "$1" && mkdir "$1" && sync; }

declare -A best label
keys=()
ways=("always 1" "always 2" "always 4" "new 1" "sequential 1" "relative 1" "relative 2")
for ((round = 0; round < runs; round++)); do
  for place in disk shm; do
    if [ $place = disk ]; then at=$bench/floor-out; else at=$shm/out; fi
    commands=("tar" "${ways[@]}" "tool")
    for what in "${commands[@]}"; do
      key="$place.${what// /.}"
      [ $round = 0 ] && keys+=("$key")
      fresh "$at"
      start=$(date +%s%N)
      case $what in
        tar) tar -xf bench.tar -C "$at" ;;
        tool) "$WINE" "$exe" extract "$(winpath "$bench/bench.vpk")" -C "$(winpath "$at")" >/dev/null ;;
        *) "$WINE" "$floor" $what "$(winpath "$at")" >/dev/null ;;
      esac
      end=$(date +%s%N)
      took=$(((end - start) / 1000))
      if [ -z "${best[$key]:-}" ] || [ "$took" -lt "${best[$key]}" ]; then best[$key]=$took; fi
      # Every way must leave the same 20,000 files and 256 MiB as tar.
      if [ $round = 0 ]; then
        got=$(find "$at" -type f -printf '%s\n' | awk '{ n++; s += $1 } END { print n, s }')
        [ "$got" = "20000 268435456" ] || { echo "floor: $what left $got (files, bytes)" >&2; exit 1; }
      fi
    done
    rm -rf "$at"
  done
done

ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
describe() {
  case $1 in
    tar) echo '`tar -xf` (baseline)' ;;
    tool) echo '`tessaro-cli.exe extract` (two threads)' ;;
    always.*) echo "CreateFileA CREATE_ALWAYS, WriteFile, CloseHandle; ${1#always.} thread(s)" ;;
    new.*) echo "the same with CREATE_NEW; ${1#new.} thread(s)" ;;
    sequential.*) echo "CREATE_ALWAYS with FILE_FLAG_SEQUENTIAL_SCAN; ${1#sequential.} thread(s)" ;;
    relative.*) echo "NtCreateFile relative to an open folder handle; ${1#relative.} thread(s)" ;;
  esac
}
results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), $("$WINE" --version 2>/dev/null || echo wine) ($arch);"
  echo "the bench pack's 20,000 files and 7,845 folders; best of $runs runs; load average before: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo
  echo "| where | files written by | time | ratio to \`tar -xf\` |"
  echo "|---|---|---|---|"
  for key in "${keys[@]}"; do
    place=${key%%.*}
    what=${key#*.}
    [ $place = disk ] && where=disk || where=tmpfs
    echo "| $where | $(describe "$what") | $(ms "${best[$key]}") | $(ratio "${best[$key]}" "${best[$place.tar]}") |"
  done
)
printf '%s\n' "$results"

python3 - "$root/bench/README.md" floor "$results" <<'PY'
import sys
path, name, figures = sys.argv[1:]
text = open(path, encoding="utf-8").read()
begin, end = "<!-- %s -->" % name, "<!-- /%s -->" % name
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
open(path, "w", encoding="utf-8").write(head + begin + "\n" + figures + "\n" + end + tail)
PY
echo "floor: figures written to bench/README.md" >&2
