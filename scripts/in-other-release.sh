#!/bin/sh
# Runs a command of the checkout on the other Debian release: Debian 13 when this machine runs
# Debian 12, Debian 12 when it runs 13. The command runs as root in a root of that release
# (scripts/release-root.sh, kept between runs in /var/cache/kovessa), in a copy of the checkout,
# with /proc, /dev, /dev/pts, /dev/shm and /sys mounted while it runs and unmounted afterwards
# whatever happens; the root's packages are brought up to scripts/install-deps.sh first.
#   scripts/in-other-release.sh ./scripts/test.sh          the whole suite there
#   scripts/in-other-release.sh ./scripts/build-deb.sh OUT  that release's package
# The command finds /var/tmp/kovessa-out for what it makes; with KOVESSA_PACKAGE_OUT=DIR, that
# folder is DIR itself, so what the command puts there is seen here at once. Exits with the
# command's status.
set -u
cd "$(dirname "$0")/.."
. /etc/os-release
case ${VERSION_ID:-} in
12*) SUITE=trixie ;;
13*) SUITE=bookworm ;;
*)
    echo "the other release: not known for ${PRETTY_NAME:-this system}"
    exit 1
    ;;
esac
if [ "$(id -u)" -ne 0 ]; then
    echo "the other release: a root of $SUITE needs root (CI runs as root)"
    exit 1
fi
CACHE=${KOVESSA_ROOT_CACHE:-/var/cache/kovessa}
mkdir -p "$CACHE"
# One suite at a time in the root: a second one would share its mounts and its packages.
exec 9>"$CACHE/$SUITE.use.lock"
flock 9
start=$(date +%s)
ROOT=$(./scripts/release-root.sh dev "$SUITE") || exit 1
echo "the $SUITE root: $ROOT ($(($(date +%s) - start)) s)"
[ "$#" -gt 0 ] || set -- ./scripts/test.sh

MOUNTED=""
# Processes left in the root would hold its mounts; they are the suite's, so they go first.
release() {
    for p in /proc/[0-9]*; do
        if [ "$(readlink "$p/root" 2>/dev/null)" = "$ROOT" ]; then
            kill -KILL "${p#/proc/}" 2>/dev/null || true
        fi
    done
    for m in $MOUNTED; do
        umount "$m" 2>/dev/null || umount -l "$m"
    done
    MOUNTED=""
}
trap release EXIT
trap 'exit 130' INT TERM HUP
# mount_at DIR ARGS...: mounts on ROOT/DIR and remembers it, newest first, for release().
mount_at() {
    _dir=$ROOT/$1
    shift
    mkdir -p "$_dir"
    mount "$@" "$_dir" || exit 1
    MOUNTED="$_dir $MOUNTED"
}
mount_at proc -t proc proc
mount_at dev --bind /dev
mount_at dev/pts --bind /dev/pts
mount_at dev/shm -t tmpfs -o mode=1777,nosuid,nodev tmpfs
mount_at sys -t sysfs sysfs
# The compiler cache, kept beside the root: a second run compiles only what changed.
mkdir -p "$CACHE/$SUITE-ccache"
mount_at var/cache/ccache --bind "$CACHE/$SUITE-ccache"
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"

# The checkout as the package build copies it: what git tracks and new files it does not ignore.
# The build folders of the last run stay, and the copy keeps the files' times, so a build there
# compiles only what changed since.
SRC=/var/tmp/kovessa
# A folder of this machine's that an ended run left mounted there must not be emptied.
if mountpoint -q "$ROOT/var/tmp/kovessa-out"; then
    umount -l "$ROOT/var/tmp/kovessa-out"
fi
rm -rf "$ROOT/var/tmp/kovessa-out"
mkdir -p "$ROOT/var/tmp/kovessa-out"
if [ -n "${KOVESSA_PACKAGE_OUT:-}" ]; then
    mkdir -p "$KOVESSA_PACKAGE_OUT"
    mount_at var/tmp/kovessa-out --bind "$KOVESSA_PACKAGE_OUT"
fi
mkdir -p "$ROOT$SRC"
find "$ROOT$SRC" -mindepth 1 -maxdepth 1 ! -name 'build*' -exec rm -rf {} +
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
        xargs -0 cp -P -p --parents -t "$ROOT$SRC"
else
    tar -c --exclude='./build*' --exclude='./obj-*' . | tar -x -C "$ROOT$SRC"
fi

# ccache, where the root has it, for every build: CMake takes its launcher from the environment.
chroot "$ROOT" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM=dumb KOVESSA_JOBS="${KOVESSA_JOBS:-$(nproc)}" \
    KOVESSA_OTHER_RELEASE=no KOVESSA_PACKAGE_OUT=/var/tmp/kovessa-out \
    CCACHE_DIR=/var/cache/ccache CCACHE_BASEDIR=$SRC \
    sh -c 'cd "$0" && ./scripts/install-deps.sh --no-windows >/dev/null &&
        if command -v ccache >/dev/null; then
            export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
        fi && exec "$@"' "$SRC" "$@" &
# Waited for in the background, so that a signal to this script ends the command at once (the
# trap's release() stops every process in the root) rather than after it.
wait $!
rc=$?
echo "on $SUITE: $* took $(($(date +%s) - start)) s"
exit $rc
