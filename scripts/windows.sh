#!/usr/bin/env bash
# The Windows builds and their tests: installs the cross compilers and wine,
# cross-compiles narravox.exe for 32-bit Windows (build-win32: compiled and
# linked only, since 32-bit programs cannot run here) and for 64-bit Windows
# with the fake engine and encoder DLLs (build-win64), and runs the 64-bit
# program under wine64 against the Linux build in build/ (made if missing).
# Every build is free of warnings or fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --windows
if [ ! -x build/narravox ] || [ ! -f build/libfake_eci.so ] || [ ! -f build/libfake_lame_enc.so ]; then
  bash scripts/build.sh
fi
for arch in i686:build-win32 x86_64:build-win64; do
  dir=${arch#*:}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-${arch%%:*}.cmake" \
        -DCMAKE_CXX_FLAGS=-Werror -DCMAKE_C_FLAGS=-Werror >/dev/null
  cmake --build "$dir" -j2
done
bash tests/windows/run-wine-tests.sh build-win64 build
