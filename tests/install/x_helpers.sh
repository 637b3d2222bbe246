# Shell helpers for the install tests: waits on what can be seen on a private Xvfb (started
# with scripts/xvfb.sh), and named checks that are counted in $failures rather than ending the
# script at the first one. Sourced; the caller sets `set -eu`.

# wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails after SECONDS.
wait_for() {
    _limit=$(($1 * 10))
    shift
    _i=0
    while ! "$@" >/dev/null 2>&1; do
        _i=$((_i + 1))
        [ "$_i" -ge "$_limit" ] && return 1
        sleep 0.1
    done
    return 0
}

# The id of a window whose title is exactly TITLE, or nothing.
window_titled() {
    for _w in $(xdotool search --name "^$(printf '%s' "$1" | sed 's/[][().*^$+?{}|\\]/\\&/g')\$" \
        2>/dev/null); do
        echo "$_w"
        return 0
    done
    return 1
}

has_window() {
    [ -n "$(window_titled "$1")" ]
}

check() { # check DESCRIPTION COMMAND...
    _what=$1
    shift
    if "$@"; then
        echo "ok: $_what"
    else
        echo "FAILED: $_what"
        failures=$((failures + 1))
    fi
}
