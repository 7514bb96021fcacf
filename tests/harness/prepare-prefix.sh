#!/usr/bin/env bash
# Makes the project's Wine prefix once: unmanaged windows (no window manager
# under Xvfb, and hiding a managed window costs about 2 s), fonts with real
# metrics, no debugger. Needs WINEPREFIX and DISPLAY set.
set -eu
: "${WINEPREFIX:?}"
stamp=$WINEPREFIX/.tessaro-ready
[ -f "$stamp" ] && exit 0
echo "preparing Wine prefix $WINEPREFIX" >&2
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
for dir in /usr/share/fonts/truetype/liberation /usr/share/wine/fonts /usr/share/fonts/truetype/wine; do
  [ -d "$dir" ] && find "$dir" -maxdepth 1 -type f \( -name '*.ttf' -o -name '*.ttc' -o -name '*.fon' \) -exec cp -f {} "$fonts"/ \;
done
wineserver -w
touch "$stamp"
