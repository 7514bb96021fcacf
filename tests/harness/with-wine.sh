#!/usr/bin/env bash
# with-wine.sh COMMAND...: runs COMMAND with the project's own Wine prefix
# (build/wineprefix) on a private Xvfb display, with a keep-alive Wine process
# so each test program starts quickly. Everything started here is stopped by
# pid when COMMAND ends; COMMAND's exit status is returned.
#   TESSARO_KEEP_DISPLAY=1  use the caller's $DISPLAY instead of Xvfb
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winedbg.exe=d;mscoree=d;mshtml=d}
keepalive=${TESSARO_KEEPALIVE:-$root/build/win32/bin/keepalive.exe}

xvfb_pid=""
keep_pid=""
cleanup() {
  [ -n "$keep_pid" ] && kill "$keep_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  [ -n "$keep_pid" ] && wait "$keep_pid" 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "${TESSARO_KEEP_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:$n
  export TESSARO_HEADLESS=1
  for _ in $(seq 100); do
    [ -e /tmp/.X11-unix/X$n ] && break
    sleep 0.05
  done
fi

"$root/tests/harness/prepare-prefix.sh" || exit 1

# Start the server and the prefix's services from here, with no inherited
# pipes: a wineserver or service started by a test would hold the test
# runner's output pipe open and the runner would wait on it for ever.
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
if [ -f "$keepalive" ]; then
  wine "$keepalive" </dev/null >/dev/null 2>&1 &
  keep_pid=$!
fi

"$@"
