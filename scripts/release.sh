#!/bin/sh
# Writes what a release hands out into build-release/:
#   kovessa_<version>-1~deb12u1_amd64.deb   the package for Debian 12, built on Debian 12
#   kovessa_<version>-1~deb13u1_amd64.deb   the package for Debian 13, built on Debian 13
#   the Windows installer and zip, when a Windows build has made them (build-windows/)
#   SHA256SUMS                              the checksums of all of them
# This machine's release is built here, the other one in its root (scripts/in-other-release.sh,
# which needs root). Nothing is tested here: scripts/test.sh does that.
set -eu
cd "$(dirname "$0")/.."
OUT=$PWD/build-release
rm -rf "$OUT"
mkdir -p "$OUT"
WORK=$(mktemp -d /tmp/kovessa-release-XXXXXX)
trap 'rm -rf "$WORK"' EXIT

./scripts/build-deb.sh "$WORK/here" >/dev/null
KOVESSA_PACKAGE_OUT="$WORK/other" ./scripts/in-other-release.sh \
    ./scripts/build-deb.sh /var/tmp/kovessa-out >"$WORK/other.log" 2>&1 ||
    { tail -40 "$WORK/other.log" >&2; exit 1; }
cp "$WORK"/here/kovessa_*.deb "$WORK"/other/kovessa_*.deb "$OUT/"

# The Windows files, built by the Windows build into build-windows/.
for f in build-windows/kovessa-*-setup.exe build-windows/kovessa-*-windows.zip; do
    if [ -f "$f" ]; then
        cp "$f" "$OUT/"
    fi
done

(cd "$OUT" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort |
    xargs sha256sum >SHA256SUMS)
ls -l "$OUT"
