#!/usr/bin/env bash
# Installs the Debian packages Narravox needs to build, run and test.
# Safe to run again: apt-get skips what is already there.
# With --windows it installs the MinGW-w64 cross compilers and wine64 instead,
# for the Windows builds and their tests (scripts/windows.sh), with the
# locale sources from which those tests make an Italian locale for wine.
# With --bench it installs, besides the build packages, the commands that
# bench/run times narravox against (sox, lame) and the Italian fortunes from
# which bench/make_text.py builds the benchmark text.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  espeak-ng libespeak-ng-dev
  libmp3lame-dev libsoxr-dev
  libmpg123-dev mpg123
  libspeex-dev libspeexdsp-dev
  libxml2-dev libzip-dev
  ffmpeg python3-mutagen
  pandoc w3m
  clang libclang-rt-14-dev
  python3
  dpkg-dev file man-db
  parallel
)
if [ "${1:-}" = "--bench" ]; then
  pkgs+=(sox libsox-fmt-base lame fortunes-it)
elif [ "${1:-}" = "--windows" ]; then
  pkgs=(
    cmake ninja-build
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine64 locales
  )
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
