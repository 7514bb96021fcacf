#!/usr/bin/env bash
# tools/deps.sh [fuzz]: installs the Debian packages the builds and tests need
# (with "fuzz", also clang and its libFuzzer for make fuzz); does nothing when
# they are all there already.
set -eu
case ${1:-} in
  ""|fuzz) ;;
  *) echo "usage: tools/deps.sh [fuzz]" >&2; exit 2 ;;
esac
packages=(
  cmake make g++ python3 googletest libgtest-dev zlib1g-dev libstb-dev libz-mingw-w64-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 wine32:i386
  xvfb xdotool imagemagick x11-utils fonts-wine fonts-liberation
  bsdextrautils  # hexdump, the oracle of the hex view tests
)
[ "${1:-}" = fuzz ] && packages+=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
