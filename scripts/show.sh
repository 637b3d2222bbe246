#!/bin/sh
# Installs what Kovessa needs, builds it and runs the full-screen show (Kovessa.scr /s) on the
# current display. Without a display it runs the show on a virtual X server for a few seconds
# and saves a screenshot, so that a machine without a screen can still see it work.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh --target Kovessa.scr Kovessa.xy

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting the show on $DISPLAY; move the mouse to end it."
    exec ./build/bin/Kovessa.scr /s
fi

SHOT=${KOVESSA_SCREENSHOT:-$PWD/kovessa-show.png}
SECONDS_TO_RUN=${KOVESSA_SHOW_SECONDS:-6}
RUNTIME=$(mktemp -d /tmp/kovessa-show-XXXXXX)
. ./scripts/xvfb.sh
start_xvfb
export XDG_RUNTIME_DIR="$RUNTIME"
cleanup() {
    # Both programs end on SIGTERM as on a logoff; the X server goes last so that neither
    # loses its display while it is still ending.
    kill "$SHOW" 2>/dev/null || true
    pkill -TERM -f "$PWD/build/bin/Kovessa.xy" 2>/dev/null || true
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        pgrep -f "$PWD/build/bin/Kovessa" >/dev/null || break
        sleep 0.2
    done
    pkill -KILL -f "$PWD/build/bin/Kovessa" 2>/dev/null || true
    wait "$SHOW" 2>/dev/null || true
    stop_xvfb
    rm -rf "$RUNTIME"
}
trap cleanup EXIT
echo "No display found: running the show on a virtual X server ($DISPLAY) for $SECONDS_TO_RUN s."
./build/bin/Kovessa.scr /s &
SHOW=$!
sleep "$SECONDS_TO_RUN"
import -window root "$SHOT"
echo "Screenshot of the running show saved as $SHOT"
