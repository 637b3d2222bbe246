#!/bin/sh
# Writes what a release hands out into build-release/:
#   kovessa_<version>-1~deb12u1_amd64.deb   the package for Debian 12, built on Debian 12
#   kovessa_<version>-1~deb13u1_amd64.deb   the package for Debian 13, built on Debian 13
#   kovessa-<version>-setup.exe             the Windows installer  (scripts/package-windows.sh)
#   kovessa-<version>-windows.zip           the Windows programs without an installer
#   SHA256SUMS                              the checksums of all of them
# This machine's release is built here, the other one in its root (scripts/in-other-release.sh,
# which needs root). Nothing is tested here: scripts/test.sh does that. Exits non-zero, with
# build-release/ left empty, when any of the files could not be made.
set -eu
cd "$(dirname "$0")/.."
OUT=$PWD/build-release
rm -rf "$OUT"
mkdir -p "$OUT"
WORK=$(mktemp -d /tmp/kovessa-release-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() {
    echo "release: $*" >&2
    rm -rf "$OUT"
    mkdir -p "$OUT"
    exit 1
}

echo "== the package for this release"
./scripts/build-deb.sh "$WORK/here" >"$WORK/here.log" 2>&1 ||
    { tail -40 "$WORK/here.log" >&2; fail "the package for this release failed"; }
echo "== the package for the other release"
KOVESSA_PACKAGE_OUT="$WORK/other" ./scripts/in-other-release.sh \
    ./scripts/build-deb.sh /var/tmp/kovessa-out >"$WORK/other.log" 2>&1 ||
    { tail -40 "$WORK/other.log" >&2; fail "the package for the other release failed"; }
cp "$WORK"/here/kovessa_*.deb "$WORK"/other/kovessa_*.deb "$OUT/"
for release in 12 13; do
    ls "$OUT"/kovessa_*~deb${release}u1_*.deb >/dev/null 2>&1 || fail "no Debian $release package"
done

echo "== the Windows installer and zip"
# Only the two programs are built: their tests are scripts/test-windows.sh's business.
./scripts/build-windows.sh --target Kovessa.scr Kovessa.xy >"$WORK/windows.log" 2>&1 &&
    KOVESSA_SKIP_WINDOWS_BUILD=1 ./scripts/package-windows.sh >>"$WORK/windows.log" 2>&1 ||
    { tail -40 "$WORK/windows.log" >&2; fail "the Windows files failed"; }
VERSION=$(sed -n 's/^project(Kovessa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
cp "build-windows/kovessa-$VERSION-setup.exe" "build-windows/kovessa-$VERSION-windows.zip" "$OUT/"

(cd "$OUT" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort |
    xargs sha256sum >SHA256SUMS)
(cd "$OUT" && sha256sum --quiet -c SHA256SUMS) || fail "the checksums do not match the files"
ls -l "$OUT"
