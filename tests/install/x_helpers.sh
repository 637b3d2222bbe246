# Shell helpers for the install tests: a private Xvfb, waits on what can be seen on it, and
# named checks that are counted in $failures rather than ending the script at the first one.
# Sourced; the caller sets `set -eu`.

# Starts Xvfb on a free display (open to every local user, so an ordinary user's programs may
# use it) and exports DISPLAY. XVFB_PID is its process.
start_xvfb() {
    _fifo=$(mktemp -u /tmp/kovessa-xvfb-XXXXXX)
    mkfifo "$_fifo"
    # -noreset: without it the server resets whenever its last client leaves, and a program
    # that connects in that moment (the program checks the display before Qt opens it) fails.
    Xvfb -displayfd 3 -ac -noreset -screen 0 1280x720x24 -nolisten tcp 3>"$_fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r _num <"$_fifo"
    rm -f "$_fifo"
    export DISPLAY=":$_num"
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

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
