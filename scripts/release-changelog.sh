#!/bin/sh
# Turns a copy of debian/ into the package of the Debian release this runs on: a changelog entry
# on top gives the version 1.0.0-1~deb12u1 on Debian 12 and 1.0.0-1~deb13u1 on Debian 13, so
# each release's package sorts below the next release's and an upgrade replaces it; the source
# format follows (a version with a Debian revision is not a native package's).
# Usage: scripts/release-changelog.sh DEBIAN_DIR (never the checkout's own debian/).
set -eu
DIR=$1
. /etc/os-release
if [ -z "${VERSION_ID:-}" ] || [ -z "${VERSION_CODENAME:-}" ]; then
    echo "release-changelog: /etc/os-release names no Debian release" >&2
    exit 1
fi
CHANGELOG=$DIR/changelog
UPSTREAM=$(dpkg-parsechangelog -l "$CHANGELOG" -S Version)
UPSTREAM=${UPSTREAM%%-*}
# The entry's trailer: the maintainer of the entry below it, and the date of the tree's last
# commit, so that two builds of one commit give the same package and the entry is newer than
# the one below it.
WHEN=$(git log -1 --format=%ct 2>/dev/null || date +%s)
TRAILER="$(grep -m1 '^ -- ' "$CHANGELOG" | sed 's/>  .*/>/')  $(LC_ALL=C date -R -u -d "@$WHEN")"
{
    printf 'kovessa (%s-1~deb%su1) %s; urgency=medium\n\n' \
        "$UPSTREAM" "${VERSION_ID%%.*}" "$VERSION_CODENAME"
    printf '  * Built for Debian %s (%s).\n\n' "${VERSION_ID%%.*}" "$VERSION_CODENAME"
    printf '%s\n\n' "$TRAILER"
    cat "$CHANGELOG"
} >"$CHANGELOG.new"
mv "$CHANGELOG.new" "$CHANGELOG"
echo "3.0 (quilt)" >"$DIR/source/format"
