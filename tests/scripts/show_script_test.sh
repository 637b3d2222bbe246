#!/bin/sh
# show_script_test.sh BUILD_DIR
# scripts/show.sh as a runner stops it: SIGTERM once its show runs on the virtual X server must
# leave no process it started and no folder of its own behind. And an X server that fails to
# start ends the script with an error instead of leaving it waiting.
set -eu
BUILD=$1
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$ROOT/tests/install/x_helpers.sh"
failures=0
WORK=$(mktemp -d /tmp/kovessa-show-script-test-XXXXXX)
SCRIPT=""
cleanup() {
    if [ -n "$SCRIPT" ]; then
        kill -KILL "$SCRIPT" 2>/dev/null || true
    fi
    if [ -f "$WORK/bin/Xvfb.pid" ]; then
        kill "$(cat "$WORK/bin/Xvfb.pid")" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# Whether PID is a process that still runs (an ended child not yet waited for does not count).
is_live() {
    _state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1)
    [ -n "$_state" ] && [ "$_state" != Z ]
}
# Every process below PID.
descendants() {
    for _child in $(pgrep -P "$1"); do
        echo "$_child"
        descendants "$_child"
    done
}
# run_show [ENV...]: starts show.sh on the programs of BUILD, without a display, in $SCRIPT.
run_show() {
    env -u DISPLAY KOVESSA_BUILD_DIR="$BUILD" KOVESSA_SHOW_SECONDS=300 \
        KOVESSA_SCREENSHOT="$WORK/shot.png" "$@" "$ROOT/scripts/show.sh" --no-build \
        >"$WORK/out.txt" 2>&1 &
    SCRIPT=$!
}
script_ended() { ! is_live "$SCRIPT"; }

# 1. SIGTERM while the show runs.
run_show
show_runs() {
    _scr=$(pgrep -P "$SCRIPT" -x Kovessa.scr) && [ -n "$(pgrep -P "$_scr" -x Kovessa.xy)" ]
}
check "the show and its renderer run" wait_for 60 show_runs
started=$(descendants "$SCRIPT")
scr=$(pgrep -P "$SCRIPT" -x Kovessa.scr || true)
runtime=$(tr '\0' '\n' <"/proc/$scr/environ" 2>/dev/null | sed -n 's/^XDG_RUNTIME_DIR=//p')
kill -TERM "$SCRIPT"
check "the script ends on SIGTERM" wait_for 30 script_ended
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
check "its runtime folder is gone" test -n "$runtime" -a ! -e "$runtime"

# 2. An X server that fails but leaves a process holding what it would have written to.
mkdir "$WORK/bin"
# shellcheck disable=SC2016 # the fake server's own script
printf '#!/bin/sh\nsleep 60 &\necho $! >"$0.pid"\nexit 1\n' >"$WORK/bin/Xvfb"
chmod +x "$WORK/bin/Xvfb"
run_show PATH="$WORK/bin:$PATH"
check "a failed X server ends the script" wait_for 60 script_ended
code=0
wait "$SCRIPT" || code=$?
SCRIPT=""
check "with an error" test "$code" -ne 0
check "that says so" grep -q "virtual X server did not start" "$WORK/out.txt"

if [ "$failures" -ne 0 ]; then
    cat "$WORK/out.txt"
    echo "$failures check(s) failed"
    exit 1
fi
