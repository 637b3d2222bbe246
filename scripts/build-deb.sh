#!/bin/sh
# Builds the Debian package of the release this runs on, the Debian way (dpkg-buildpackage), from
# a copy of the tree (what git tracks plus new files it does not ignore), so the build's
# leftovers stay out of the checkout. The copy's changelog gets the release's version
# (scripts/release-changelog.sh), so the package is kovessa_1.0.0-1~deb12u1_amd64.deb on Debian
# 12 and kovessa_1.0.0-1~deb13u1_amd64.deb on Debian 13, its Depends computed on that release.
# Usage: scripts/build-deb.sh OUT_DIR; the .deb goes there, its path is the last line printed,
# and the build's log is OUT_DIR/build.log.
# The copy lies in a folder of its own for each checkout, the same each time, so that with
# ccache on the machine a second package build compiles only what changed (the compiler's
# command lines name that folder).
set -eu
cd "$(dirname "$0")/.."
OUT=$(mkdir -p "$1" && cd "$1" && pwd)
WORK=${TMPDIR:-/tmp}/kovessa-deb-$(id -u)-$(pwd | cksum | cut -d' ' -f1)
mkdir -p "$WORK"
exec 7>"$WORK.lock"
flock 7
rm -rf "${WORK:?}"/*
trap 'rm -rf "${WORK:?}"/*' EXIT
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
    export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
    # debhelper gives the build a home folder of its own; the cache stays where it was.
    export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
fi
UPSTREAM=$(dpkg-parsechangelog -l debian/changelog -S Version)
SRC=$WORK/kovessa-$UPSTREAM
mkdir "$SRC"
# -P: links are copied as links; a dangling one (a build's leftover) is no error.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard | xargs -0 cp -P --parents -t "$SRC"
else
    tar -c --exclude='./build*' --exclude='./obj-*' --exclude='./debian/.debhelper' . |
        tar -x -C "$SRC"
fi
./scripts/release-changelog.sh "$SRC/debian"
VERSION=$(dpkg-parsechangelog -l "$SRC/debian/changelog" -S Version)
DEB=kovessa_${VERSION}_$(dpkg --print-architecture).deb
start=$(date +%s)
if ! (cd "$SRC" && DEB_BUILD_OPTIONS="nocheck parallel=${KOVESSA_JOBS:-$(nproc)}" \
    dpkg-buildpackage -us -uc -b >"$OUT/build.log" 2>&1); then
    tail -40 "$OUT/build.log" >&2
    echo "the package build failed (log: $OUT/build.log)" >&2
    exit 1
fi
echo "package built in $(($(date +%s) - start)) s"
cp "$WORK/$DEB" "$OUT/"
echo "$OUT/$DEB"
