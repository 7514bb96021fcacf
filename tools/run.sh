#!/usr/bin/env bash
# Runs Tessaro.exe (32-bit where the host can run it, else 64-bit) under Wine on the demo installation (build/demo), in the
# project's own prefix. On your display when DISPLAY is set; otherwise under
# Xvfb, where it saves a screenshot to build/screenshots/main.png once the
# first window is up, opens the about box and saves build/screenshots/about.png
# a couple of seconds later, and then ends the program.
#   NO_INSTALL=1  remove the game's registry value first, so the program asks
#                 where the game is
set -eu
case ${1:-} in
  ""|--inside) ;;
  -h|--help) echo 'usage: tools/run.sh   (make run; NO_INSTALL=1 starts it with no installation recorded)'; exit 0 ;;
  *) echo 'usage: tools/run.sh   (make run; NO_INSTALL=1 starts it with no installation recorded)' >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${TESSARO_WINE_ARCH:-}
if [ -z "$arch" ]; then
  # The 32-bit release build where the host can start it, else the 64-bit one.
  if why=$("$root/tests/harness/can-run-win32.sh"); then
    arch=win32
  else
    arch=win64
    echo "run: starting the 64-bit Tessaro.exe: $why" >&2
  fi
fi
exe=$root/build/$arch/bin/Tessaro.exe
demo=$root/build/demo
shots=$root/build/screenshots
[ -f "$exe" ] || { echo "run: $exe is not built" >&2; exit 1; }

if [ "${1:-}" != --inside ]; then
  TESSARO_KEEP_DISPLAY=1 exec "$root/tests/harness/with-wine.sh" "$arch" "$0" --inside
fi

key='HKLM\SOFTWARE\Activision\Vampire - Bloodlines'
if [ "${NO_INSTALL:-0}" = 1 ]; then
  "$WINE" reg delete "$key" /f /reg:32 >/dev/null 2>&1 || true
else
  winpath="Z:$(printf '%s' "$demo" | tr / '\\')"
  "$WINE" reg add "$key" /v InstallPath /t REG_SZ /d "$winpath" /f /reg:32 >/dev/null
fi

if [ "${TESSARO_HEADLESS:-0}" != 1 ]; then
  cd "$root/build"
  exec "$WINE" "$exe"
fi

mkdir -p "$shots"
"$WINE" "$exe" &
pid=$!
# The main window shows only after the installation lookup; with NO_INSTALL the
# lookup's question (captioned with the program's name) comes first.
title='^Tessaro v0\.1$'
[ "${NO_INSTALL:-0}" = 1 ] && title='^Tessaro$'
timeout 15 xdotool search --sync --onlyvisible --name "$title" >/dev/null \
  || echo "run: no window titled $title after 15 s" >&2
sleep 1
import -window root "$shots/main.png"
echo "screenshot: $shots/main.png"
# The about box, opened from the menu bar (Alt+A), a couple of seconds into
# its scrolling.
if [ "${NO_INSTALL:-0}" != 1 ]; then
  main=$(xdotool search --onlyvisible --name "$title" | head -1)
  if [ -n "$main" ]; then
    xdotool windowfocus "$main" 2>/dev/null || true
    sleep 0.3
    xdotool key --window "$main" alt+a
  fi
  if timeout 10 xdotool search --sync --onlyvisible --name '^About Tessaro$' >/dev/null; then
    sleep 2
    import -window root "$shots/about.png"
    echo "screenshot: $shots/about.png"
  else
    echo "run: the about box did not open" >&2
  fi
fi
kill "$pid" 2>/dev/null || true
