#!/usr/bin/env bash
# Exits 0 when this host can start Wine's 32-bit loader, found out by starting
# it. Exits 1, saying why, only when the kernel refuses to run it ("Exec format
# error": an x86-64 host with IA-32 emulation off runs 64-bit code only); the
# 32-bit tests are then skipped. Any other failure (the loader or a library
# it needs missing, a broken install) is something to fix, not a host to
# excuse: it is printed and the exit status is 2, which fails `make test`.
loader=/usr/lib/wine/wine
out=$("$loader" --version 2>&1) && exit 0
# The shell's own "script: line N:" prefix says nothing about the cause.
out=$(printf '%s' "$out" | sed 's/^.*: line [0-9]*: //')
if [ -x "$loader" ] && printf '%s' "$out" | grep -q 'Exec format error'; then
  echo "this host cannot start Wine's 32-bit loader ($loader --version: $out)"
  exit 1
fi
echo "Wine's 32-bit loader failed ($loader --version: ${out:-no output}); make deps installs it" >&2
exit 2
