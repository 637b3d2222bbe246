# What the Wine test scripts share: a work folder with a throwaway Wine prefix, a private Xvfb,
# one wineserver kept up for the whole test, and a way to run the test as an ordinary user when
# it is started as root. Sourced after scripts/xvfb.sh; the caller sets `set -eu`.

# Quiet, no offer to fetch the .NET and browser runtimes that nothing here uses, and no menu
# files or file associations on the host for what a test installs in its prefix. Wine reads
# Unix file names in the locale's character set: UTF-8, as on any desktop, so that a file name
# in any script is the same name on both sides.
wine_environment() {
    export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    export LC_ALL=C.UTF-8
}

# make_wine_prefix: makes $WINEPREFIX (on $DISPLAY when there is one) and waits for its server
# to finish the first start's work.
make_wine_prefix() {
    wineboot -i >/dev/null 2>&1 || return 1
    wineserver -w
}

# wine_session_begin NAME: WORK is a new folder of this test, with the prefix in WORK/prefix,
# made on a private Xvfb whose DISPLAY is exported; one wineserver stays up until the end, so
# each Wine command starts in a second rather than in ten. Everything goes at the script's end.
wine_session_begin() {
    WORK=$(mktemp -d "/tmp/kovessa-wine-$1-XXXXXX")
    export WINEPREFIX="$WORK/prefix"
    wine_environment
    trap wine_session_end EXIT
    trap 'exit 130' INT TERM
    start_xvfb
    if ! make_wine_prefix; then
        echo "wineboot could not make the Wine prefix" >&2
        return 1
    fi
    wineserver -p
}

wine_session_end() {
    wineserver -k 2>/dev/null || true
    stop_xvfb
    # A test may have taken write permission away from folders of its own.
    chmod -R u+w "$WORK" 2>/dev/null || true
    rm -rf "$WORK"
}

# wine_restart: ends every Windows program of the prefix and starts its server again, so that
# nothing of one step is left for the next.
wine_restart() {
    wineserver -k 2>/dev/null || true
    wineserver -p
}

# run_as_ordinary_user [--writes FOLDER] SCRIPT ARG...: when started as root, makes an ordinary
# user with a home folder, runs SCRIPT as that user with the environment of a login (its own
# HOME, so its own Wine prefix, folders and sound settings), removes the user afterwards and
# exits with the script's status; an ordinary user goes on at once. Root writes into any folder
# whatever its modes, so a check of a folder closed to writing needs a user that modes bind.
# FOLDER, made if need be, is the user's for the run and root's again afterwards.
run_as_ordinary_user() {
    _writes=""
    if [ "$1" = --writes ]; then
        _writes=$2
        shift 2
    fi
    [ "$(id -u)" -eq 0 ] || return 0
    if ! command -v useradd >/dev/null 2>&1; then
        echo "useradd is missing: this test needs an ordinary user to run as" >&2
        exit 1
    fi
    _user=kovessa-w$$
    if ! useradd -m -s /bin/sh "$_user" >/dev/null 2>&1; then
        echo "cannot make the user $_user" >&2
        exit 1
    fi
    _home=$(getent passwd "$_user" | cut -d: -f6)
    # Whatever the test left running as the user ends with it.
    trap 'pkill -KILL -u "$_user" 2>/dev/null; userdel -r -f "$_user" >/dev/null 2>&1' EXIT
    trap 'exit 130' INT TERM
    if [ -n "$_writes" ]; then
        mkdir -p "$_writes"
        chown -R "$_user:" "$_writes"
    fi
    _status=0
    runuser -u "$_user" -- env -i HOME="$_home" USER="$_user" LOGNAME="$_user" \
        PATH=/usr/local/bin:/usr/bin:/bin LANG="${LANG:-C.UTF-8}" sh "$@" || _status=$?
    if [ -n "$_writes" ]; then
        chown -R 0:0 "$_writes"
    fi
    exit $_status
}
