#!/bin/sh
# Writes, for each length given, the bytes of the hex view's test pattern
# (byte i is (7 i + i / 256) mod 256, so no row repeats the one before it)
# and what `hexdump -C` prints for them, into <dir>/<length>.txt.
set -e
dir=$1
shift
mkdir -p "$dir"
for n in "$@"; do
    python3 -c "import sys; sys.stdout.buffer.write(bytes((7 * i + i // 256) % 256 for i in range($n)))" >"$dir/$n.bin"
    hexdump -C "$dir/$n.bin" >"$dir/$n.txt"
done
