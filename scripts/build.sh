#!/bin/sh
# Configures and builds Kovessa into build/ (programs in build/bin). Used by show.sh and test.sh.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${KOVESSA_BUILD_DIR:-build}
JOBS=${KOVESSA_JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVESSA_WERROR=ON >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" "$@"
