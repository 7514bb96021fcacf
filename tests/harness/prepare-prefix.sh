#!/usr/bin/env bash
# Makes the project's Wine prefix once: unmanaged windows (no window manager
# under Xvfb, and hiding a managed window costs about 2 s), fonts with real
# metrics, no debugger. Needs WINE, WINEARCH, WINEPREFIX and DISPLAY set
# (with-wine.sh sets them). A failure prints the tool's own output.
set -u
: "${WINEPREFIX:?}" "${WINE:?}" "${WINEARCH:?}"
stamp=$WINEPREFIX/.tessaro-ready
[ -f "$stamp" ] && exit 0
echo "preparing Wine prefix $WINEPREFIX ($WINEARCH)" >&2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
run() {
  "$@" </dev/null >"$log" 2>&1 && return 0
  echo "harness: preparing $WINEPREFIX failed: $* exited with $?" >&2
  sed 's/^/  | /' "$log" >&2
  exit 1
}
mkdir -p "$WINEPREFIX"
run "$WINE" wineboot -i
run "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
run "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
for dir in /usr/share/fonts/truetype/liberation /usr/share/wine/fonts /usr/share/fonts/truetype/wine; do
  [ -d "$dir" ] && find "$dir" -maxdepth 1 -type f \( -name '*.ttf' -o -name '*.ttc' -o -name '*.fon' \) -exec cp -f {} "$fonts"/ \;
done
run wineserver -w
touch "$stamp"
