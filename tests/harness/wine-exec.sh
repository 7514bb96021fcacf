#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs one program under Wine in the
# project's own prefix. with-wine.sh sets the prefix and display up.
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# A crashing test must fail, not wait in the debugger.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winedbg.exe=d;mscoree=d;mshtml=d}
exec wine "$@"
