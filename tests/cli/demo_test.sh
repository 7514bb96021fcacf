#!/usr/bin/env bash
# demo_test.sh CLI WORKDIR: generates the demo installation and checks it is
# what the demo promises, read through tessaro-cli: every pack opens and lists
# cleanly, file packs extract to exactly the bytes the generator put in them
# (and cat gives the same), the directory pack makes only folders, and the
# entries cover the game's usual types.
set -u
cli=$1
work=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work" || fail "can't make $work"
python3 "$root/tools/make_demo.py" "$work/demo" --entries "$work/entries" || fail "generator failed"
[ -f "$work/demo/vampire.exe" ] || fail "no vampire.exe"

packs=$("$cli" packs "$work/demo/Vampire") || fail "packs reported a problem"
[ "$(printf '%s\n' "$packs" | grep -c $'\tFile pack$')" -ge 3 ] || fail "fewer than 3 file packs"
[ "$(printf '%s\n' "$packs" | grep -c $'\tDirectory pack$')" = 1 ] || fail "not one directory pack"
empty=$(printf '%s\n' "$packs" | awk -F'\t' '$2 == 0 { print $1 }')
[ -n "$empty" ] && [ "$(stat -c %s "$empty")" = 9 ] || fail "no empty 9-byte pack"

types=""
while IFS=$'\t' read -r pack count kind; do
  list=$("$cli" list "$pack") || fail "list $pack"
  [ "$(printf '%s' "$list" | grep -c '')" = "$count" ] || fail "$pack: $count entries expected"
  out="$work/x/$(basename "$pack")"
  mkdir -p "$out"
  "$cli" extract "$pack" -C "$out" || fail "extract $pack"
  [ "$count" = 0 ] && continue
  if [ "$kind" = "Directory pack" ]; then
    [ -z "$(find "$out" -type f)" ] || fail "$pack: files from a directory pack"
    [ "$(find "$out" -mindepth 1 -type d | wc -l)" -ge "$count" ] || fail "$pack: folders missing"
    continue
  fi
  while IFS=$'\t' read -r number name size type; do
    [ -f "$out/$name" ] || fail "$pack: $name not extracted"
    [ "$(stat -c %s "$out/$name")" = "$size" ] || fail "$pack: $name has the wrong size"
    cmp -s "$work/entries/$(basename "$pack")/$name" "$out/$name" || fail "$pack: $name is not what was packed"
    cmp -s <("$cli" cat "$pack" "$number") "$out/$name" || fail "$pack: $name differs from cat"
    types="$types $type"
  done <<< "$list"
done <<< "$packs"

for type in dlg txt lip vmt py mdl tth ttz; do
  [[ " $types " == *" $type "* ]] || fail "no entry of type $type"
done
find "$work/x" -type d -name '* *' | grep -q . || fail "no folder name with a space"
# ANSI text with CRLF line ends and accented letters (bytes above 0x7F).
find "$work/x" -name '*.dlg' -exec grep -l $'\r$' {} + | grep -q . || fail "dialogue without CRLF"
LC_ALL=C grep -rlP '[\x80-\xFF]' "$work/x" --include='*.dlg' | grep -q . || fail "no accented letters"
echo "demo installation ok"
