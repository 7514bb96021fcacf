#!/usr/bin/env bash
# Exits 0 when this host can start Wine's 32-bit loader, found out by starting
# it. Otherwise prints why not and exits 1: some x86-64 hosts run 64-bit code
# only ("IA-32 emulation off"), and there any i386 program fails to start.
out=$(/usr/lib/wine/wine --version 2>&1) && exit 0
# The shell's own "script: line N:" prefix says nothing about the cause.
out=$(printf '%s' "$out" | sed 's/^.*: line [0-9]*: //')
echo "this host cannot start Wine's 32-bit loader (/usr/lib/wine/wine --version: ${out:-no output})"
exit 1
