#!/usr/bin/env bash
# with-wine.sh ARCH COMMAND...: runs COMMAND with the Wine prefix of the win32
# or win64 build (build/wineprefix, build/wineprefix64) on a private Xvfb
# display, with a keep-alive Wine process so each test program starts quickly.
# A COMMAND that is a .exe is run under that build's Wine loader. Everything
# started here is stopped by pid when COMMAND ends; COMMAND's exit status is
# returned. Every failure of the harness itself prints its cause. Every exit
# path (COMMAND's end, a harness failure, INT, TERM or HUP) stops this run's
# command, its wineserver and its Xvfb, so a hung or killed run leaves no
# Wine process behind.
#   TESSARO_KEEP_DISPLAY=1  use the caller's $DISPLAY instead of Xvfb
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/harness/wine-env.sh"
tessaro_wine_env "${1:-}" || { echo "usage: with-wine.sh win32|win64 COMMAND..." >&2; exit 2; }
arch=$1
shift
[ $# -gt 0 ] || { echo "usage: with-wine.sh win32|win64 COMMAND..." >&2; exit 2; }
keepalive=$root/build/$arch/bin/keepalive.exe
logs=$root/build/harness-logs
mkdir -p "$logs"

fail() {
  echo "harness ($arch): $1" >&2
  [ -n "${2:-}" ] && [ -s "$2" ] && sed 's/^/  | /' "$2" >&2
  exit 1
}

xvfb_pid=""
keep_pid=""
cmd_pid=""
cleanup() {
  [ -n "$cmd_pid" ] && kill "$cmd_pid" 2>/dev/null
  [ -n "$keep_pid" ] && kill "$keep_pid" 2>/dev/null
  # Kills every Wine process of this prefix: a test program whose runner was
  # killed would otherwise stay, holding the server.
  wineserver -k 2>/dev/null
  [ -n "$cmd_pid" ] && wait "$cmd_pid" 2>/dev/null
  [ -n "$keep_pid" ] && wait "$keep_pid" 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

[ -x "$WINE" ] || fail "the Wine loader $WINE is not installed (make deps installs it)"

if [ "${TESSARO_KEEP_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || fail "Xvfb is not installed (make deps installs it)"
  # Xvfb chooses a free display itself and writes its number to fd 3, so two
  # runs started at once never share one (probing for a free number first
  # races with another run doing the same).
  dfile=$(mktemp "$logs/display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dfile" >"$logs/xvfb.log" 2>&1 &
  xvfb_pid=$!
  n=""
  for _ in $(seq 200); do
    n=$(tr -dc 0-9 <"$dfile")
    [ -n "$n" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$dfile"
  [ -n "$n" ] || fail "Xvfb did not report a display" "$logs/xvfb.log"
  export DISPLAY=:$n
  export TESSARO_HEADLESS=1
  for _ in $(seq 100); do
    [ -e /tmp/.X11-unix/X$n ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ -e /tmp/.X11-unix/X$n ] || fail "Xvfb did not start on display :$n" "$logs/xvfb.log"
fi

"$root/tests/harness/prepare-prefix.sh" || exit 1

# Start the server and the prefix's services from here, with no inherited
# pipes: a wineserver or service started by a test would hold the test
# runner's output pipe open and the runner would wait on it for ever.
wineserver -p </dev/null >"$logs/wineserver-$arch.log" 2>&1 \
  || fail "wineserver did not start" "$logs/wineserver-$arch.log"
"$WINE" wineboot </dev/null >"$logs/wineboot-$arch.log" 2>&1 \
  || fail "wineboot failed in $WINEPREFIX" "$logs/wineboot-$arch.log"
if [ -f "$keepalive" ]; then
  "$WINE" "$keepalive" </dev/null >/dev/null 2>&1 &
  keep_pid=$!
fi

# In the background, so that a signal interrupts the wait at once: bash runs
# a trap only after a foreground command has ended, which a hung one never does.
case $1 in
  *.exe) "$WINE" "$@" & ;;
  *) "$@" & ;;
esac
cmd_pid=$!
wait "$cmd_pid"
status=$?
cmd_pid=""
exit "$status"
