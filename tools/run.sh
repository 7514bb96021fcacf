#!/usr/bin/env bash
# Runs Tessaro.exe (32-bit where the host can run it, else 64-bit) under Wine on the demo installation (build/demo), in the
# project's own prefix. On your display when DISPLAY is set; otherwise under
# Xvfb, where it saves a screenshot to build/screenshots/main.png once the
# first window is up, opens the about box and saves build/screenshots/about.png
# a couple of seconds later, closes it, drives the program with xdotool to a
# pack viewer previewing a script (build/screenshots/viewer.png), then a
# binary entry in hex (build/screenshots/viewer-hex.png), then a texture
# (build/screenshots/texture.png), then a filtered entry list and "Find in all packs..." (build/screenshots/find.png), and then
# ends the program.
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
  # Escape closes the about box, like its close box.
  xdotool key Escape
  timeout 5 bash -c "while xdotool search --onlyvisible --name '^About Tessaro\$' >/dev/null; do sleep 0.2; done" || true

  # Then the viewer as a user reaches it: Tools > VPK Viewer/Extracter from
  # the keyboard, a click on the pack of scripts, a click on its first entry
  # (a Python script), whose text shows in the preview. The rows' places are
  # the viewer's layout under the prefix's fonts: 13-pixel rows, the first
  # pack row 79 pixels and the first entry row 250 pixels below the window's top.
  xdotool windowfocus "$main"; sleep 0.3
  xdotool key alt+f; sleep 0.3; xdotool key t; sleep 0.3; xdotool key v
  viewer=$(timeout 10 xdotool search --sync --onlyvisible --name '^VPK Viewer$' | head -1)
  if [ -z "$viewer" ]; then
    echo "run: no VPK Viewer window after Tools > VPK Viewer/Extracter" >&2
  else
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$viewer")"
    # The packs are listed in the order the folder search gives them, which
    # under Wine (as on NTFS) is by name.
    row=$(cd "$demo/Vampire" && ls -1 -- *.vpk | LC_ALL=C sort | grep -n '^pack002\.vpk$' | cut -d: -f1)
    row=$((row - 1))
    xdotool mousemove $((X + 86)) $((Y + 79 + 13 * row)) click 1; sleep 1
    xdotool mousemove $((X + 86)) $((Y + 268)) click 1; sleep 1
    import -window root "$shots/viewer.png"
    echo "screenshot: $shots/viewer.png"
    # Then a model of the pack of materials (its 13th entry), a binary file,
    # in the hex view.
    row=$(cd "$demo/Vampire" && ls -1 -- *.vpk | LC_ALL=C sort | grep -n '^pack001\.vpk$' | cut -d: -f1)
    row=$((row - 1))
    xdotool mousemove $((X + 86)) $((Y + 79 + 13 * row)) click 1; sleep 1
    xdotool mousemove $((X + 86)) $((Y + 268 + 13 * 12)) click 1; sleep 1
    import -window root "$shots/viewer-hex.png"
    echo "screenshot: $shots/viewer-hex.png"
    # Then the same pack's first texture (its 2nd entry, a .tth), drawn in
    # the preview.
    xdotool mousemove $((X + 86)) $((Y + 268 + 13 * 1)) click 1; sleep 1
    import -window root "$shots/texture.png"
    echo "screenshot: $shots/texture.png"
    # Then finding: Ctrl+F and "vmt" in the filter box narrow the pack's
    # rows; Ctrl+Shift+F opens "Find in all packs..." and "hollywood" finds
    # entries in every pack listed.
    xdotool key ctrl+f; sleep 0.3; xdotool type --delay 80 vmt; sleep 0.5
    xdotool key ctrl+shift+f
    if timeout 10 xdotool search --sync --onlyvisible --name '^Find in all packs$' >/dev/null; then
      sleep 1; xdotool type --delay 150 hollywood; sleep 2
      import -window root "$shots/find.png"
      echo "screenshot: $shots/find.png"
    else
      echo "run: Ctrl+Shift+F opened no Find in all packs window" >&2
    fi
  fi
fi
kill "$pid" 2>/dev/null || true
