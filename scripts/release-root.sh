#!/bin/sh
# Makes, or finds still fresh, a Debian root of another release outside the checkout, for the
# suite and the packages to be tried there:
#   scripts/release-root.sh dev SUITE      a root with everything scripts/install-deps.sh names,
#                                          kept as a folder (/var/cache/kovessa/SUITE);
#   scripts/release-root.sh base SUITE     a plain root as a tarball, the clean start that
#                                          piuparts installs the package into;
#   scripts/release-root.sh mirror         the Debian mirror these roots come from.
# Prints the path. A root is made again when it is missing, when the recipe it was made from has
# changed (suite, mirror, variant, the packages named), or when it is older than
# KOVESSA_ROOT_MAX_DAYS (14) days. The packages come from the mirror this machine's own apt uses.
# Needs root (CI runs as root).
set -eu
cd "$(dirname "$0")/.."
KIND=$1
SUITE=${2:-}
CACHE=${KOVESSA_ROOT_CACHE:-/var/cache/kovessa}
MAX_DAYS=${KOVESSA_ROOT_MAX_DAYS:-14}
mkdir -p "$CACHE"

# The host's Debian mirror: the first http(s) URI that serves a Debian suite, from either form of
# sources file.
mirror() {
    {
        sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/*.sources 2>/dev/null
        sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\).*/\2/p' \
            /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null
    } | tr ' ' '\n' | grep -E '^https?://.*/debian/?$' | head -1
}
MIRROR=$(mirror)
MIRROR=${MIRROR:-http://deb.debian.org/debian}
MIRROR=${MIRROR%/}
SECURITY=${MIRROR%/debian}/debian-security

case $KIND in
mirror)
    echo "$MIRROR"
    exit 0
    ;;
dev)
    TARGET=$CACHE/$SUITE
    NEW=$TARGET.new
    # The packages are what scripts/install-deps.sh names when run in the root itself (which
    # names exist depends on the release). Whoever uses the root runs it there again, which
    # installs only what a newer list adds; so the list is not part of the recipe.
    RECIPE="dev $SUITE $MIRROR minbase"
    ;;
base)
    TARGET=$CACHE/$SUITE-base.tar.gz
    NEW=$CACHE/$SUITE-base.new.tar.gz
    RECIPE="base $SUITE $MIRROR minbase eatmydata"
    ;;
*)
    echo "usage: $0 dev|base SUITE" >&2
    exit 2
    ;;
esac
STAMP=$TARGET.stamp
# One maker at a time: test.sh starts the roots early in the background, and a user of a root
# that is still being made waits here for it.
exec 8>"$TARGET.lock"
flock 8

fresh() {
    [ -e "$TARGET" ] && [ -f "$STAMP" ] && [ "$(sed -n 1p "$STAMP")" = "$RECIPE" ] &&
        [ -z "$(find "$STAMP" -mtime "+$MAX_DAYS")" ]
}
if fresh; then
    echo "$TARGET"
    exit 0
fi

echo "making the $SUITE root ($KIND) from $MIRROR" >&2
start=$(date +%s)
rm -rf "$TARGET" "$NEW" "$STAMP"
SOURCES="deb $MIRROR $SUITE main
deb $MIRROR $SUITE-updates main
deb $SECURITY $SUITE-security main"
if [ "$KIND" = base ]; then
    # eatmydata: piuparts speeds its many package operations up with it when the root has it.
    mmdebstrap --quiet --variant=minbase --include=eatmydata "$SUITE" "$NEW" "$SOURCES" >&2
else
    # The apt lists are kept: scripts/install-deps.sh asks them which packages the release has.
    mmdebstrap --quiet --variant=minbase --skip=cleanup/apt/lists \
        --customize-hook='copy-in scripts/install-deps.sh /tmp' \
        --customize-hook='chroot "$1" sh /tmp/install-deps.sh --no-windows' \
        --customize-hook='rm -f "$1/tmp/install-deps.sh"' \
        "$SUITE" "$NEW" "$SOURCES" >&2
fi
mv "$NEW" "$TARGET"
printf '%s\nmade %s in %s s\n' "$RECIPE" "$(date -u +%FT%TZ)" "$(($(date +%s) - start))" >"$STAMP"
echo "$TARGET"
