#!/usr/bin/env bash
# bench/texture.sh: times the texture library natively (the real sample's
# rebuild and decode, a 2048x2048 DXT5 decode, PNG at zlib levels 1, 6, 9,
# each against a copy of the same bytes in the same run) and `tessaro-cli
# texture` over a pack of 1,000 256x256 DXT5 textures with mips, on two
# threads against one; writes the figures into bench/README.md between its
# texture markers.
#   RUNS=n   timed runs of the texture command (default 3); the best counts
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
bench=$root/build/bench-texture
cli=$root/build/native/bin/tessaro-cli
tool=$root/build/native/bin/texture_bench
samples=$root/../shared/testdata/textures
runs=${RUNS:-3}
for t in "$cli" "$tool"; do
  [ -x "$t" ] || { echo "bench: $t is not built (make build-native)" >&2; exit 1; }
done
[ -f "$samples/dialog_feats.tth" ] || { echo "bench: SKIPPED, the real sample is not at $samples" >&2; exit 0; }
mkdir -p "$bench"
if [ ! -f "$bench/textures.vpk" ] || [ "$root/bench/make_texture_pack.py" -nt "$bench/textures.vpk" ]; then
  echo "bench: making the pack of 1,000 textures" >&2
  python3 "$root/bench/make_texture_pack.py" "$bench"
fi
cd "$bench"

declare -A v
while read -r key a b; do v[$key]="$a${b:+ $b}"; done < <("$tool" "$samples/dialog_feats.tth" "$samples/dialog_feats.ttz")

# Round by round, so a busy spell of the machine slows both alike.
declare -A best
for ((round = 0; round < runs; round++)); do
  for threads in 2 1; do
    rm -rf "out$threads" && mkdir "out$threads" && sync
    start=$(date +%s%N)
    TESSARO_EXTRACT_THREADS=$threads "$cli" texture textures.vpk "**" -C "out$threads"
    took=$((($(date +%s%N) - start) / 1000))
    if [ -z "${best[$threads]:-}" ] || [ "$took" -lt "${best[$threads]}" ]; then best[$threads]=$took; fi
  done
done
diff -r out1 out2 >/dev/null || { echo "bench: the two runs wrote different files" >&2; exit 1; }
count=$(find out2 -name '*.png' | wc -l)
[ "$count" = 1000 ] || { echo "bench: $count PNG files written, not 1,000" >&2; exit 1; }
pngbytes=$(du -sb out2 | cut -f1)
rm -rf out1 out2

ms() { awk -v us="$1" 'BEGIN { printf "%.1f ms", us / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
png() { # LEVEL -> "| level | time | ratio | size |"
  set -- $1 ${v[png.$1]}
  echo "| $1 | $(ms "$2") | $(ratio "$2" "$(echo "${v[png.6]}" | cut -d' ' -f1)") | $3 bytes |"
}
results=$(
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -sr), native (gcc, Release); best of 15 runs"
  echo "for the library, of $runs for the command."
  echo
  echo "| task | time | ratio to baseline | goal |"
  echo "|---|---|---|---|"
  echo "| copy the sample's 8 MiB of pixels (baseline) | $(ms "${v[sample.copy]}") | 1.00 | |"
  echo "| decode the real ${v[sample.size]} BGRA8888 sample to RGBA | $(ms "${v[sample.decode]}") | $(ratio "${v[sample.decode]}" "${v[sample.copy]}") | < 30 ms |"
  echo "| rebuild it (inflate the .ttz's 16 MiB) | $(ms "${v[sample.rebuild]}") | $(ratio "${v[sample.rebuild]}" "${v[sample.copy]}") | |"
  echo "| copy 4 MiB of DXT5 blocks (baseline) | $(ms "${v[dxt5.copy]}") | 1.00 | |"
  echo "| decode a 2048x2048 DXT5 image to RGBA | $(ms "${v[dxt5.decode]}") | $(ratio "${v[dxt5.decode]}" "${v[dxt5.copy]}") | < 20 ms |"
  echo "| \`tessaro-cli texture\`, 1,000 textures to PNG, one thread (baseline) | $(ms "${best[1]}") | 1.00 | |"
  echo "| \`tessaro-cli texture\`, 1,000 textures to PNG, two threads | $(ms "${best[2]}") | $(ratio "${best[2]}" "${best[1]}") | |"
  echo
  echo "The 1,000 PNG files take $pngbytes bytes. PNG of the real sample by zlib level:"
  echo
  echo "| level | time | ratio to level 6 | size |"
  echo "|---|---|---|---|"
  png 1
  png 6
  png 9
)
printf '%s\n' "$results"
write_figures texture "$results"
echo "bench: texture figures written to bench/README.md" >&2
