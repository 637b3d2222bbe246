#!/bin/sh
# Checks both releases' packages as Debian checks its own, with piuparts, each in a clean root of
# its release (scripts/release-root.sh base):
#   1. the Debian 12 package installs, removes and purges on Debian 12 and leaves nothing behind;
#   2. the same for the Debian 13 package on Debian 13;
#   3. the upgrade: the Debian 12 package installed on Debian 12, the system upgraded to
#      Debian 13, then the Debian 13 package installed over it, and purged, leaving nothing.
# Usage: scripts/piuparts-test.sh DEB12 DEB13. Needs root. The three run side by side (each in
# a root of its own; most of their time is fetching and unpacking packages). Prints "ok:" or
# "FAILED:" per check and ends with "piuparts: N passed, N failed"; logs go to
# KOVESSA_PIUPARTS_LOGS (or a temporary folder, printed on failure).
set -u
cd "$(dirname "$0")/.."
DEB12=$(readlink -f "$1")
DEB13=$(readlink -f "$2")
LOGS=${KOVESSA_PIUPARTS_LOGS:-$(mktemp -d /tmp/kovessa-piuparts-XXXXXX)}
mkdir -p "$LOGS"

BASE12=$(./scripts/release-root.sh base bookworm) || exit 1
BASE13=$(./scripts/release-root.sh base trixie) || exit 1
MIRROR=$(./scripts/release-root.sh mirror)
SECURITY=${MIRROR%/debian}/debian-security

# run_piuparts NAME BASE ARGS...: one piuparts run; its verdict goes to LOGS/NAME.result.
run_piuparts() {
    _name=$1
    _base=$2
    shift 2
    _start=$(date +%s)
    # Debian 13's debconf keeps a scratch folder that piuparts of Debian 12 does not know yet
    # (later piuparts ignore it too); it is no file of the package.
    if piuparts --basetgz "$_base" --mirror "$MIRROR" --log-file "$LOGS/$_name.log" \
        --fail-on-broken-symlinks --ignore=/var/cache/debconf/tmp.ci/ "$@" >/dev/null 2>&1 &&
        grep -q 'PASS: All tests' "$LOGS/$_name.log"; then
        echo "ok: piuparts $_name ($(($(date +%s) - _start)) s)" >"$LOGS/$_name.result"
    else
        {
            grep -E 'ERROR|FAIL|left' "$LOGS/$_name.log" | tail -30
            echo "FAILED: piuparts $_name ($(($(date +%s) - _start)) s, log $LOGS/$_name.log)"
        } >"$LOGS/$_name.result"
    fi
}
# A release's update and security suites come along, as a machine of that release has them.
rm -f "$LOGS"/*.result "$LOGS"/*.log
# A signal ends the runs too (piuparts removes its roots when it is ended).
trap 'kill $(jobs -p) 2>/dev/null; wait; exit 130' INT TERM HUP
run_piuparts bookworm "$BASE12" -d bookworm --no-upgrade-test \
    "--extra-repo=deb $MIRROR bookworm-updates main" \
    "--extra-repo=deb $SECURITY bookworm-security main" "$DEB12" &
run_piuparts trixie "$BASE13" -d trixie --no-upgrade-test \
    "--extra-repo=deb $MIRROR trixie-updates main" \
    "--extra-repo=deb $SECURITY trixie-security main" "$DEB13" &

# The upgrade: piuparts installs the package by name from an archive of the first release, so
# the Debian 12 package is offered from a small local archive, seen from inside its root.
REPO=$(mktemp -d /tmp/kovessa-repo-XXXXXX)
chmod 755 "$REPO"
cp "$DEB12" "$REPO/"
(cd "$REPO" && dpkg-scanpackages --multiversion . /dev/null >Packages 2>/dev/null)
run_piuparts upgrade "$BASE12" -d bookworm -d trixie --bindmount "$REPO" \
    "--extra-repo=deb [trusted=yes] file://$REPO ./" "$DEB13" &
wait
rm -rf "$REPO"

passed=0
failed=0
for name in bookworm trixie upgrade; do
    if [ -f "$LOGS/$name.result" ]; then
        cat "$LOGS/$name.result"
    else
        echo "FAILED: piuparts $name (no verdict, log $LOGS/$name.log)"
    fi
    if grep -q '^ok: ' "$LOGS/$name.result" 2>/dev/null; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
    fi
done
echo "piuparts: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
