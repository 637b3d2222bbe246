#!/bin/sh
# Installs what the Windows build needs and cross-builds the Windows programs into
# build-windows/bin (Kovessa.scr, Kovessa.xy), with the logic tests beside them in
# build-windows/tests. Extra arguments go to the build (a --target, say).
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --windows
BUILD_DIR=${KOVESSA_WINDOWS_BUILD_DIR:-build-windows}
JOBS=${KOVESSA_JOBS:-$(nproc)}
launcher=""
if command -v ccache >/dev/null 2>&1; then
    launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
# shellcheck disable=SC2086 # the launcher options are two words or none
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVESSA_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64-x86_64.cmake $launcher >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" "$@"
