#!/bin/sh
# Builds the Windows programs (scripts/build-windows.sh) and packs them for release:
#   build-windows/kovessa-<version>-setup.exe    the installer (per user, no administrator)
#   build-windows/kovessa-<version>-windows.zip  a portable copy: both programs, the README
#                                                and the licence in one folder
# KOVESSA_SKIP_WINDOWS_BUILD=1 packs the programs already in build-windows/bin.
set -eu
cd "$(dirname "$0")/.."
ROOT=$PWD
OUT=$ROOT/build-windows

if [ "${KOVESSA_SKIP_WINDOWS_BUILD:-0}" != 1 ]; then
    ./scripts/build-windows.sh
fi
for tool in makensis zip x86_64-w64-mingw32-strip; do
    command -v "$tool" >/dev/null || { echo "package-windows: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
for program in Kovessa.scr Kovessa.xy; do
    [ -f "$OUT/bin/$program" ] || { echo "package-windows: $OUT/bin/$program is missing" >&2; exit 1; }
done

VERSION=$(sed -n 's/^project(Kovessa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$VERSION" ] || { echo "package-windows: no version in CMakeLists.txt" >&2; exit 1; }
NAME=kovessa-$VERSION
STAGE=$OUT/package/$NAME
rm -rf "$OUT/package"
mkdir -p "$STAGE"
# The build keeps its debugging information for the tests' stack traces; a user's copy does not
# need it, and it is nine tenths of the programs' size.
for program in Kovessa.scr Kovessa.xy; do
    x86_64-w64-mingw32-strip --strip-all -o "$STAGE/$program" "$OUT/bin/$program"
done
# Text files with Windows line ends and a name that Windows opens with a double click.
sed 's/$/\r/' README.md >"$STAGE/README.txt"
sed 's/$/\r/' LICENSE >"$STAGE/LICENSE.txt"
# One date on every file, so that the same tree packs into the same zip.
STAMP=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || echo 202601010000)
find "$STAGE" -exec touch -t "$STAMP" {} +

makensis -V2 -NOCD -DVERSION="$VERSION" -DBINDIR="$STAGE" -DDOCDIR="$STAGE" \
    -DOUTFILE="$OUT/$NAME-setup.exe" "$ROOT/scripts/windows/kovessa.nsi"
rm -f "$OUT/$NAME-windows.zip"
(cd "$OUT/package" && zip -q -X -r "$OUT/$NAME-windows.zip" "$NAME")
echo "$OUT/$NAME-setup.exe"
echo "$OUT/$NAME-windows.zip"
