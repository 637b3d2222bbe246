#!/bin/sh
# package_script_test.sh
# scripts/package-test.sh as a runner stops it: SIGTERM once it has installed a package and made
# its test user must leave no process it started, no user and no installed package behind. It
# is handed a stand-in package named kovessa (a file and nothing else), so no build is needed.
# Needs root and a machine where kovessa is not installed; skipped (77) otherwise.
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$ROOT/tests/install/x_helpers.sh"
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing a package needs root"
    exit 77
fi
if dpkg-query -W -f='${Status}' kovessa 2>/dev/null | grep -q "install ok installed"; then
    echo "SKIP: kovessa is installed on this machine already"
    exit 77
fi
failures=0
WORK=$(mktemp -d /tmp/kovessa-package-script-test-XXXXXX)
SCRIPT=""
cleanup() {
    if [ -n "$SCRIPT" ]; then
        kill -KILL "$SCRIPT" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

is_live() {
    _state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1)
    [ -n "$_state" ] && [ "$_state" != Z ]
}
descendants() {
    for _child in $(pgrep -P "$1"); do
        echo "$_child"
        descendants "$_child"
    done
}

mkdir -p "$WORK/deb/DEBIAN" "$WORK/deb/usr/share/doc/kovessa"
printf 'Package: kovessa\nVersion: 0.0-1\nArchitecture: all\nMaintainer: Kovessa <kovessa@localhost>\nDescription: stand-in for the package test\n' \
    >"$WORK/deb/DEBIAN/control"
echo "stand-in" >"$WORK/deb/usr/share/doc/kovessa/README"
dpkg-deb --root-owner-group --build "$WORK/deb" "$WORK/kovessa.deb" >/dev/null

# The stand-in stays here: a suite that keeps its own package where KOVESSA_PACKAGE_OUT names
# must not find this one beside it.
KOVESSA_PACKAGE_DEB="$WORK/kovessa.deb" env -u KOVESSA_PACKAGE_OUT "$ROOT/scripts/package-test.sh" \
    >"$WORK/out.txt" 2>&1 &
SCRIPT=$!
user=kovessa-e2e-$SCRIPT
installed() { dpkg-query -W -f='${Status}' kovessa 2>/dev/null | grep -q "install ok installed"; }
running() { installed && getent passwd "$user" >/dev/null && [ -n "$(pgrep -u "$user")" ]; }
check "the package test installs, makes its user and runs a program as that user" \
    wait_for 240 running
started=$(descendants "$SCRIPT")
kill -TERM "$SCRIPT"
ended() { ! is_live "$SCRIPT"; }
check "the package test ends on SIGTERM" wait_for 240 ended
code=0
wait "$SCRIPT" || code=$?
SCRIPT=""
check "with the code of a TERM signal" test "$code" -eq 143
left=""
for pid in $started; do
    if is_live "$pid"; then
        left="$left $pid($(cat "/proc/$pid/comm" 2>/dev/null))"
    fi
done
check "no process it started runs on" test -z "$left"
[ -n "$left" ] && echo "left running:$left"
check "no process of its user runs on" sh -c "! pgrep -u $user 2>/dev/null"
check "its user is gone" sh -c "! getent passwd $user"
check "the package is gone" sh -c "! dpkg-query -W -f='\${Status}' kovessa 2>/dev/null | grep -q 'ok installed'"

if [ "$failures" -ne 0 ]; then
    cat "$WORK/out.txt"
    echo "$failures check(s) failed"
    # What a failed run left behind is removed, so the machine is as it was.
    pkill -KILL -u "$user" 2>/dev/null || true
    userdel -r "$user" >/dev/null 2>&1 || true
    dpkg --purge kovessa >/dev/null 2>&1 || true
    exit 1
fi
