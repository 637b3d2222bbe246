#!/bin/sh
# Installs what Kovessa needs to build and run, builds it and runs the full-screen show
# (Kovessa.scr /s) on the current display. Without a display it runs the show on a virtual X
# server for a few seconds and saves a screenshot, so that a machine without a screen can still
# see it work. --no-build skips the install and the build and runs what the build folder
# ($KOVESSA_BUILD_DIR, build/ when unset) already holds.
set -eu
cd "$(dirname "$0")/.."
BIN=${KOVESSA_BUILD_DIR:-build}/bin
if [ "${1:-}" != "--no-build" ]; then
    ./scripts/install-deps.sh --run
    ./scripts/build.sh --target Kovessa.scr Kovessa.xy
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting the show on $DISPLAY; move the mouse to end it."
    exec "$BIN/Kovessa.scr" /s
fi

SHOT=${KOVESSA_SCREENSHOT:-$PWD/kovessa-show.png}
SECONDS_TO_RUN=${KOVESSA_SHOW_SECONDS:-6}
XVFB="" SHOW="" RENDERER="" SLEEP="" RUNTIME=""

# Ends what this script started, each by its own process id, whichever way the script ends.
cleanup() {
    trap - EXIT HUP INT TERM
    if [ -n "$SLEEP" ]; then
        kill "$SLEEP" 2>/dev/null || true
    fi
    if [ -n "$SHOW" ]; then
        # The show program started the renderer; ending the show on SIGTERM, as on a logoff,
        # ends the renderer too. A renderer that the show has left running (it ends by its own
        # rule) is ended here.
        RENDERER=$(pgrep -P "$SHOW" || true)
        kill "$SHOW" 2>/dev/null || true
        wait "$SHOW" 2>/dev/null || true
    fi
    for pid in $RENDERER; do
        kill "$pid" 2>/dev/null || true
        for _ in 1 2 3 4 5 6 7 8 9 10; do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        kill -KILL "$pid" 2>/dev/null || true
    done
    # The X server goes last, so that neither program loses its display while it is ending.
    if [ -n "$XVFB" ]; then
        kill "$XVFB" 2>/dev/null || true
        wait "$XVFB" 2>/dev/null || true
    fi
    if [ -n "$RUNTIME" ]; then
        rm -rf "$RUNTIME"
    fi
}
# A shell does not run its EXIT trap when a signal ends it, so each signal gets its own.
trap cleanup EXIT
trap 'cleanup; exit 129' HUP
trap 'cleanup; exit 130' INT
trap 'cleanup; exit 143' TERM

RUNTIME=$(mktemp -d /tmp/kovessa-show-XXXXXX)
. ./scripts/xvfb.sh
if ! start_xvfb; then
    exit 1
fi
XVFB=$XVFB_PID
export XDG_RUNTIME_DIR="$RUNTIME"
echo "No display found: running the show on a virtual X server ($DISPLAY) for $SECONDS_TO_RUN s."
"$BIN/Kovessa.scr" /s &
SHOW=$!
# In the background, so that a signal is handled at once rather than after the sleep.
sleep "$SECONDS_TO_RUN" &
SLEEP=$!
wait "$SLEEP"
SLEEP=""
import -window root "$SHOT"
echo "Screenshot of the running show saved as $SHOT"
