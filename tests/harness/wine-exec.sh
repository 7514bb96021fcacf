#!/usr/bin/env bash
# wine-exec.sh ARCH PROGRAM [ARGS...]: runs one Windows program of the win32
# or win64 build under Wine in that build's prefix. CTest's emulator for the
# Windows builds; with-wine.sh sets the prefix and display up.
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/harness/wine-env.sh"
tessaro_wine_env "${1:-}" || exit 2
shift
exec "$WINE" "$@"
