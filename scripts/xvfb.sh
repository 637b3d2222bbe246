# The one way the shell scripts start a private X server; the C++ tests and benchmarks start
# theirs through tests/harness. Sourced; the caller sets `set -eu`.

# start_xvfb [XVFB OPTION...]: starts Xvfb on a free display (1280x720, 24-bit colour) with the
# given extra options and exports DISPLAY; XVFB_PID is its process. Fails, with a line on
# standard error, when the server does not come up.
start_xvfb() {
    _xvfb_dir=$(mktemp -d /tmp/kovessa-xvfb-XXXXXX)
    # -noreset: without it the server resets whenever its last client leaves, and a program
    # that connects in that moment (the program checks the display before Qt opens it) fails.
    # The server writes its display number into a file once it accepts clients. A file rather
    # than a pipe: a server that fails, or leaves a child holding the pipe, leaves nothing to
    # wait on for ever.
    Xvfb -displayfd 3 -noreset -screen 0 1280x720x24 -nolisten tcp "$@" \
        3>"$_xvfb_dir/display" >"$_xvfb_dir/log" 2>&1 &
    XVFB_PID=$!
    _num=""
    for _ in $(seq 300); do
        _num=$(sed -n 's/^\([0-9][0-9]*\)$/\1/p' "$_xvfb_dir/display")
        if [ -n "$_num" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    if [ -z "$_num" ]; then
        echo "The virtual X server did not start:" >&2
        cat "$_xvfb_dir/log" >&2
        rm -rf "$_xvfb_dir"
        stop_xvfb
        return 1
    fi
    rm -rf "$_xvfb_dir"
    export DISPLAY=":$_num"
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}
