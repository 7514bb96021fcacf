# Sourced: tessaro_wine_env ARCH sets the Wine loader, architecture and
# prefix for one Windows build (win32 or win64) of the project at $root.
#
# Each build has a prefix of its own: a prefix is made for one architecture.
# The 64-bit loader is called directly: Debian's `wine` wrapper always picks
# the 32-bit one when it is installed, even on hosts that can't run it.
# Never the user's own prefix: WINEPREFIX is always the project's.
tessaro_wine_env() {
  case ${1:-} in
    win32)
      export WINEARCH=win32 WINE=/usr/lib/wine/wine WINEPREFIX=$root/build/wineprefix
      unset WINELOADER ;;
    win64)
      export WINEARCH=win64 WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
      export WINEPREFIX=$root/build/wineprefix64 ;;
    *)
      echo "harness: unknown Windows build '${1:-}' (win32 or win64)" >&2
      return 2 ;;
  esac
  export TESSARO_WINE_ARCH=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  # A crashing test must fail, not wait in the debugger.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winedbg.exe=d;mscoree=d;mshtml=d}
}
