# The one way the shell scripts start a private X server; the C++ tests and benchmarks start
# theirs through tests/harness. Sourced; the caller sets `set -eu`.

# start_xvfb [XVFB OPTION...]: starts Xvfb on a free display (1280x720, 24-bit colour) with the
# given extra options and exports DISPLAY; XVFB_PID is its process. Fails, with a line on
# standard error, when the server does not come up.
start_xvfb() {
    _fifo=$(mktemp -u /tmp/kovessa-xvfb-XXXXXX)
    mkfifo "$_fifo"
    # -noreset: without it the server resets whenever its last client leaves, and a program
    # that connects in that moment (the program checks the display before Qt opens it) fails.
    Xvfb -displayfd 3 -noreset -screen 0 1280x720x24 -nolisten tcp "$@" 3>"$_fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    # Xvfb writes the display number once it accepts connections; a server that ends first
    # closes the pipe, and the read comes back empty.
    _num=""
    read -r _num <"$_fifo" || true
    rm -f "$_fifo"
    if [ -z "$_num" ]; then
        echo "Xvfb did not start" >&2
        stop_xvfb
        return 1
    fi
    export DISPLAY=":$_num"
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}
