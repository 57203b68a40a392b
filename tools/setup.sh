#!/bin/sh
# Installs what building, running and testing Quorlax needs on Debian 12:
# compilers (native and MinGW-w64; Clang with its fuzzer runtime), CMake and
# GoogleTest, Wine with Xvfb, the Chinese fonts the game's text is shown in,
# and Python for the help page's check and the download zips. Idempotent:
# when all is present it only checks and returns.
set -eu
packages="
  build-essential cmake make clang libclang-rt-14-dev python3
  googletest libgtest-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64
  xvfb xauth
  fonts-wqy-microhei fonts-arphic-uming fonts-arphic-ukai
"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "setup: installing$missing"
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO=sudo
  else
    echo "setup: these packages are missing and this is not root: $missing" >&2
    exit 1
  fi
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq $missing >/dev/null
