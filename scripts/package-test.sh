#!/bin/sh
# Builds the Debian package the Debian way (dpkg-buildpackage), checks it with lintian, and, as
# root on a machine that may be changed (CI), installs it and tries it as a user would:
#   1. the register helper on a ~/.xscreensaver that XScreenSaver itself wrote: add, add again,
#      remove, byte for byte;
#   2. the menu entry's command opens "<Kovessa>", and a save there lands in
#      ~/.config/kovessa/Kovessa.ini with the settings file's key bytes;
#   3. XScreenSaver, told to activate, runs the installed hack, which draws;
#   4. `apt-get purge` leaves no file of the package behind.
# Run by scripts/test.sh. KOVESSA_PACKAGE_OUT=DIR keeps the .deb and the logs there;
# KOVESSA_PACKAGE_DEB=FILE tests that package instead of building one.
set -eu
cd "$(dirname "$0")/.."
ROOT=$PWD
. "$ROOT/scripts/xvfb.sh"
. "$ROOT/tests/install/x_helpers.sh"

WORK=""
USER_NAME=""
INSTALLED=""
BUILD_PID=""
failures=0
# Ends and removes what this script started and installed, whichever way the script ends: the
# package build by its process group, the test user's processes by the user, the X server by
# its process id; then the user and the package themselves.
cleanup() {
    trap - EXIT HUP INT TERM
    if [ -n "$BUILD_PID" ]; then
        kill -TERM -- "-$BUILD_PID" 2>/dev/null || true
        wait "$BUILD_PID" 2>/dev/null || true
    fi
    if [ -n "$USER_NAME" ]; then
        pkill -KILL -u "$USER_NAME" 2>/dev/null || true
        wait_for 10 sh -c "! pgrep -u $USER_NAME" || true
        userdel -r "$USER_NAME" >/dev/null 2>&1 || true
    fi
    stop_xvfb
    if [ -n "$INSTALLED" ]; then
        dpkg --purge kovessa >/dev/null 2>&1 || true
    fi
    if [ -n "$WORK" ]; then
        rm -rf "$WORK"
    fi
}
# A shell does not run its EXIT trap when a signal ends it, so each signal gets its own.
trap cleanup EXIT
trap 'cleanup; exit 129' HUP
trap 'cleanup; exit 130' INT
trap 'cleanup; exit 143' TERM
WORK=$(mktemp -d /tmp/kovessa-package-XXXXXX)
chmod 755 "$WORK"
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "package test: $failures check(s) failed"
        exit 1
    fi
    echo "package test: all checks passed"
    exit 0
}

# ---- the package ----------------------------------------------------------------------------
if [ -n "${KOVESSA_PACKAGE_DEB:-}" ]; then
    DEB=$WORK/$(basename "$KOVESSA_PACKAGE_DEB")
    cp "$KOVESSA_PACKAGE_DEB" "$DEB"
else
    echo "== dpkg-buildpackage"
    # In a process group of its own, in the background: a signal to this script is handled at
    # once, and the whole build ends with it.
    setsid ./scripts/build-deb.sh "$WORK" >"$WORK/deb.txt" 2>&1 &
    BUILD_PID=$!
    build_code=0
    wait "$BUILD_PID" || build_code=$?
    BUILD_PID=""
    if [ "$build_code" -ne 0 ]; then
        tail -40 "$WORK/deb.txt"
        echo "FAILED: the package build"
        exit 1
    fi
    grep '^package built' "$WORK/deb.txt"
    DEB=$(tail -1 "$WORK/deb.txt")
fi
check "the package is named kovessa_<version>_<arch>.deb" test -f "$DEB"
[ -f "$DEB" ] || finish
. /etc/os-release
check "its version names this release (-1~deb${VERSION_ID%%.*}u1)" \
    sh -c "dpkg-deb -f '$DEB' Version | grep -q -- '-1~deb${VERSION_ID%%.*}u1\$'"
echo "package size: $(stat -c %s "$DEB") bytes, installed size: $(dpkg-deb -f "$DEB" Installed-Size) KiB"
echo "Depends: $(dpkg-deb -f "$DEB" Depends)"
check "it depends on the two font packages" sh -c \
    "dpkg-deb -f '$DEB' Depends | grep -q fonts-liberation && dpkg-deb -f '$DEB' Depends | grep -q fonts-ipafont-gothic"

echo "== lintian"
lintian --display-info "$DEB" >"$WORK/lintian.txt" 2>&1 || true
grep -E '^[EWIP]: ' "$WORK/lintian.txt" || echo "lintian: no tags"
check "lintian finds no errors or warnings" sh -c "! grep -qE '^[EW]: ' '$WORK/lintian.txt'"
if [ -n "${KOVESSA_PACKAGE_OUT:-}" ]; then
    mkdir -p "$KOVESSA_PACKAGE_OUT"
    cp "$WORK/lintian.txt" "$KOVESSA_PACKAGE_OUT/"
    # Whole or not at all: test.sh starts piuparts as soon as the package is there.
    cp "$DEB" "$KOVESSA_PACKAGE_OUT/.incoming"
    mv "$KOVESSA_PACKAGE_OUT/.incoming" "$KOVESSA_PACKAGE_OUT/$(basename "$DEB")"
fi

# ---- the installed package, end to end --------------------------------------------------------
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing the package needs root (CI runs this as root on a throwaway machine)"
    finish
fi
if dpkg-query -W -f='${Status}' kovessa 2>/dev/null | grep -q "install ok installed"; then
    echo "SKIP: kovessa is installed on this machine already; the end-to-end test would replace it"
    finish
fi

echo "== apt-get install"
INSTALLED=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$DEB" >"$WORK/apt.log" 2>&1 ||
    { cat "$WORK/apt.log"; echo "FAILED: apt-get install"; exit 1; }
dpkg -L kovessa | LC_ALL=C sort >"$WORK/files.txt"
check "the hack link is in the hack folder" \
    test "$(readlink -f /usr/libexec/xscreensaver/kovessa)" = /usr/lib/kovessa/Kovessa.scr
check "and in the older hack folder, where xsecurelock looks" \
    test "$(readlink -f /usr/lib/xscreensaver/kovessa)" = /usr/lib/kovessa/Kovessa.scr
check "the register helper is on PATH" command -v kovessa-xscreensaver-register

USER_NAME=kovessa-e2e-$$
useradd -m -s /bin/sh "$USER_NAME"
HOME_DIR=$(getent passwd "$USER_NAME" | cut -d: -f6)
# Open to every local user (-ac): the user's programs draw on it.
start_xvfb -ac
# as_user COMMAND...: runs COMMAND as the user with a desktop session's plain environment.
as_user() {
    runuser -u "$USER_NAME" -- env -i HOME="$HOME_DIR" USER="$USER_NAME" DISPLAY="$DISPLAY" \
        PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 "$@"
}

# 1. A ~/.xscreensaver written by XScreenSaver: xscreensaver-settings writes the file when a
#    setting changes, here a click on "+" beside "Blank After". With no window manager its
#    window stands at the top left; in 6.06 that button lies 269 px from the left and 152 px
#    above the window's bottom edge, whatever the screen size.
echo "== the register helper"
# The daemon first: without it, the settings window opens under a modal question whether to
# start it, and takes no clicks.
as_user xscreensaver -no-splash >"$WORK/xscreensaver-first.log" 2>&1 &
wait_for 20 as_user xscreensaver-command -version || true
as_user xscreensaver-settings >"$WORK/xscreensaver-settings.log" 2>&1 &
XSS=$!
settings_window() { xdotool search --onlyvisible --name '^XScreenSaver: ' | head -1 | grep -q .; }
if wait_for 30 settings_window; then
    w=$(xdotool search --onlyvisible --name '^XScreenSaver: ' | head -1)
    written() { test -s "$HOME_DIR/.xscreensaver"; }
    height=$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^HEIGHT=//p')
    xdotool mousemove --window "$w" 269 $((height - 152)) click 1
    wait_for 15 written || true
fi
kill "$XSS" 2>/dev/null || true
as_user xscreensaver-command -exit >/dev/null 2>&1 || true
XS_FILE=$HOME_DIR/.xscreensaver
check "XScreenSaver wrote ~/.xscreensaver" grep -q '^# Written by xscreensaver-settings' "$XS_FILE"
if [ -f "$XS_FILE" ]; then
    cp "$XS_FILE" "$WORK/xscreensaver.orig"
    as_user kovessa-xscreensaver-register >"$WORK/register.txt" 2>&1 || true
    cat "$WORK/register.txt"
    check "the helper says what it did" grep -q "^Added Kovessa" "$WORK/register.txt"
    diff "$WORK/xscreensaver.orig" "$XS_FILE" >"$WORK/register.diff" || true
    check "one line added: the Kovessa entry" sh -c "
        test \$(grep -c '^[<>]' '$WORK/register.diff') -eq 1 &&
        grep -qx '>   GL: \"Kovessa\" kovessa --root \\\\n\\\\' '$WORK/register.diff'"
    cp "$XS_FILE" "$WORK/xscreensaver.added"
    as_user kovessa-xscreensaver-register >"$WORK/register2.txt" 2>&1 || true
    check "again: nothing changes" cmp -s "$XS_FILE" "$WORK/xscreensaver.added"
    check "again: it says so" grep -q "already" "$WORK/register2.txt"
    check "the file still belongs to the user" test "$(stat -c %U "$XS_FILE")" = "$USER_NAME"
    as_user kovessa-xscreensaver-register --remove >/dev/null 2>&1 || true
    check "--remove gives back the file byte for byte" cmp -s "$XS_FILE" "$WORK/xscreensaver.orig"
    as_user kovessa-xscreensaver-register >/dev/null 2>&1 || true
fi

# 2. The menu entry's command, as the desktop menu runs it.
echo "== the menu entry"
MENU_EXEC=$(sed -n 's/^Exec=//p' /usr/share/applications/kovessa-settings.desktop)
# shellcheck disable=SC2086 # the Exec line is split into words as the menu splits it
as_user $MENU_EXEC >"$WORK/dialog.log" 2>&1 &
DIALOG=$!
check "the menu entry opens <Kovessa>" wait_for 20 has_window "<Kovessa>"
if has_window "<Kovessa>"; then
    w=$(window_titled "<Kovessa>")
    # The audio CD option's mark, then 設定 (places in the dialog's client area).
    xdotool mousemove --window "$w" 38 74 click 1
    xdotool mousemove --window "$w" 356 192 click 1
    INI=$HOME_DIR/.config/kovessa/Kovessa.ini
    saved() { test -s "$INI"; }
    check "the save lands in ~/.config/kovessa/Kovessa.ini" wait_for 10 saved
    printf '[Section]\r\nBGM\213\346\225\252=1\r\nBGM\330\313\337\260\304=0\r\nBGM\314\247\262\331=\r\n' \
        >"$WORK/expected.ini"
    check "with the settings file's key bytes" cmp "$INI" "$WORK/expected.ini"
    check "owned by the user" test "$(stat -c %U "$INI")" = "$USER_NAME"
    check "the dialog closes after the save" wait_for 10 sh -c "! kill -0 $DIALOG"
fi
kill "$DIALOG" 2>/dev/null || true

# 3. XScreenSaver runs the installed hack. (This needs the hack mode of Kovessa.scr --root.)
echo "== XScreenSaver"
if grep -q 'kovessa --root' "$XS_FILE" 2>/dev/null; then
    index=$(awk '/^programs:/{p=1; next} p && /kovessa --root/{print n; exit} p{n++}' "$XS_FILE")
    sed -i -e 's/^mode:.*/mode:\t\tone/' -e "s/^selected:.*/selected:\t$index/" \
        -e 's/^lock:.*/lock:\t\tFalse/' -e 's/^fade:.*/fade:\t\tFalse/' \
        -e 's/^unfade:.*/unfade:\t\tFalse/' -e 's/^verbose:.*/verbose:\tTrue/' \
        -e 's/^dpmsEnabled:.*/dpmsEnabled:\tFalse/' "$XS_FILE"
    # The music: a WAV file chosen as the dialog stores it; the sound goes to a file (SDL's disk
    # output), which the daemon's environment hands on to the hack.
    as_user mkdir -p "$HOME_DIR/.config/kovessa"
    as_user sox -q -n -r 44100 -c 2 -b 16 "$HOME_DIR/tone.wav" synth 2 sine 440
    printf '[Section]\r\nBGM\213\346\225\252=2\r\nBGM\330\313\337\260\304=0\r\nBGM\314\247\262\331=%s\r\n' \
        "$HOME_DIR/tone.wav" >"$HOME_DIR/.config/kovessa/Kovessa.ini"
    AUDIO=$HOME_DIR/sound.raw
    as_user env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO" \
        xscreensaver -no-splash >"$WORK/xscreensaver.log" 2>&1 &
    wait_for 20 as_user xscreensaver-command -version || true
    as_user xscreensaver-command -activate >/dev/null 2>&1 || true
    hack_runs() { pgrep -u "$USER_NAME" -f /usr/lib/kovessa/Kovessa.xy; }
    check "the hack starts the renderer" wait_for 30 hack_runs
    # Without a renderer there is nothing to wait for: the two checks below fail at once.
    hack_runs >/dev/null 2>&1 || patience=1
    drawn() {
        import -window root "$WORK/saver.png" 2>/dev/null &&
            [ "$(convert "$WORK/saver.png" -format '%[fx:mean>0.01?1:0]' info:)" = 1 ]
    }
    check "the saver window is drawn" wait_for "${patience:-30}" drawn
    # Silence is all zero bytes; the tone is not.
    plays() { [ -s "$AUDIO" ] && [ -n "$(head -c 1000000 "$AUDIO" | tr -d '\0' | head -c 1)" ]; }
    check "the music plays" wait_for "${patience:-30}" plays
    grep -E 'forked|exited|crashed' "$WORK/xscreensaver.log" | head -5 || true
    as_user xscreensaver-command -exit >/dev/null 2>&1 || true
fi
pkill -KILL -u "$USER_NAME" 2>/dev/null || true
wait_for 10 sh -c "! pgrep -u $USER_NAME" || true

# 4. Purge: every file of the package is gone, and no folder of its own is left.
echo "== apt-get purge"
if DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kovessa >>"$WORK/apt.log" 2>&1; then
    INSTALLED=""
else
    echo "FAILED: apt-get purge"
    failures=$((failures + 1))
fi
left=""
while read -r path; do
    [ "$path" = "/." ] && continue
    if [ -L "$path" ] || [ -f "$path" ]; then
        left="$left $path"
    elif [ -d "$path" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
        left="$left $path/"
    fi
done <"$WORK/files.txt"
check "nothing of the package is left" test -z "$left"
[ -n "$left" ] && echo "left behind:$left"
finish
