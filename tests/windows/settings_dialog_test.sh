#!/bin/sh
# The settings dialog of Kovessa.scr (/c) under Wine on a private Xvfb, driven with real pointer
# clicks and keys as a user would:
#   1. it opens as "<Kovessa>"; its screenshot is kept (ARTIFACTS/dialog-wine.png);
#   2. away from its letters, the display strip on the screen equals bit for bit a frame that
#      the Linux strip code computes (tests/windows/reference_pixels), the star included;
#   3. the file option, "...", a path typed into the system's file dialog, then 設定: the
#      settings file beside the program holds the code page 932 key bytes and the chosen values;
#   4. a Japanese file name, which the prefix's code page (1252) cannot spell, is kept so that
#      Windows finds the file again (by its short form) and shown by its own name;
#   5. ｷｬﾝｾﾙ after a change leaves the settings file byte for byte as it was;
#   6. a failed save (a settings file that cannot be read; both folders read-only, for a user
#      other than the superuser) is told in a box and the dialog stays open; with only the
#      program's folder read-only the save lands in the user's own folder;
#   7. an unreadable settings file: the dialog opens all the same and closes cleanly.
# Usage: settings_dialog_test.sh BIN_DIR REFERENCE_PIXELS [ARTIFACTS]
#   BIN_DIR holds Kovessa.scr and Kovessa.xy; REFERENCE_PIXELS is the Linux build's tool.
set -eu
if [ ! -f "$1/Kovessa.scr" ]; then
    echo "SKIP: no Kovessa.scr in $1"
    exit 77
fi
BIN=$(readlink -f "$1")
REFERENCE=$(readlink -f "$2")
ARTIFACTS=${3:-}
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../install/x_helpers.sh"
. "$HERE/../../scripts/xvfb.sh"

WORK=$(mktemp -d /tmp/kovessa-wine-dialog-XXXXXX)
export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
failures=0
cleanup() {
    wineserver -k 2>/dev/null || true
    stop_xvfb
    chmod -R u+w "$WORK" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

start_xvfb
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p

PROG="$WORK/prefix/drive_c/Kovessa"
mkdir -p "$PROG" "$WORK/prefix/drive_c/music"
cp "$BIN/Kovessa.scr" "$BIN/Kovessa.xy" "$PROG/"
INI="$PROG/Kovessa.ini"
for name in tone.mp3 "ホタルの光.wav"; do
    printf 'RIFF' >"$WORK/prefix/drive_c/music/$name"
done

DIALOG_PID=""
open_dialog() {
    (cd "$PROG" && exec wine 'C:\Kovessa\Kovessa.scr' /c >/dev/null 2>&1) &
    DIALOG_PID=$!
    wait_for 90 has_window "<Kovessa>" || return 1
    W=$(window_titled "<Kovessa>")
    # Painted: the white frame round "BGM" is on the screen.
    wait_for 30 pixel_is 32 40 "255,255,255"
}
# pixel_is X Y R,G,B: the dialog's pixel at X, Y (client coordinates) has that colour.
pixel_is() {
    eval "$(xdotool getwindowgeometry --shell "$W")"
    _c=$(import -window root -crop "1x1+$((X + $1))+$((Y + $2))" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | tail -1)
    [ "$_c" = "$3" ]
}
click() { # X Y in the dialog's client area
    xdotool mousemove --window "$W" "$1" "$2" click 1
}
closed() { ! kill -0 "$DIALOG_PID" 2>/dev/null; }
# The option marks, "...", 設定 and ｷｬﾝｾﾙ, where the dialog places them at 96 dots per inch.
MARK_CD="38 74"
MARK_FILE="38 114"
BROWSE="62 134"
SET="356 192"
CANCEL="430 192"

# choose_file PATH: the file option, "...", PATH typed into the file dialog.
choose_file() {
    # shellcheck disable=SC2086
    click $MARK_FILE
    # shellcheck disable=SC2086
    click $BROWSE
    wait_for 30 has_window "ﾌｧｲﾙを開く" || return 1
    sleep 0.5
    xdotool type --delay 30 "$1"
    xdotool key Return
    wait_for 30 sh -c "! xdotool search --name '^ﾌｧｲﾙを開く\$'"
}

# The settings file's lines, as key bytes in hex = value.
ini_has() { # KEY_HEX VALUE
    python3 - "$INI" "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
want = bytes.fromhex(sys.argv[2]) + b'=' + sys.argv[3].encode('utf-8')
lines = [l.rstrip(b'\r') for l in data.split(b'\n')]
sys.exit(0 if want in lines else 1)
PY
}
KIND=42474d8be695aa      # BGM区分
REPEAT=42474dd8cbdfb0c4  # BGMﾘﾋﾟｰﾄ
FILE=42474dcca7b2d9      # BGMﾌｧｲﾙ

echo "== the dialog opens"
check "opens as <Kovessa>" open_dialog
if [ -n "$ARTIFACTS" ]; then
    mkdir -p "$ARTIFACTS"
    import -window "$W" "$ARTIFACTS/dialog-wine.png"
fi

echo "== the strip's pixels, as on Linux"
"$REFERENCE" strip "$WORK" >/dev/null 2>&1
# capture X Y W H FILE: that part of the dialog's client area, from the screen.
capture() {
    rm -f "$5"
    eval "$(xdotool getwindowgeometry --shell "$W")" &&
        import -window root -crop "$3x$4+$((X + $1))+$((Y + $2))" +repage -depth 8 "$5" && test -s "$5"
}
strip_seen_star=no
strip_matches() {
    # The strip's last column lies under 設定, on Linux as here.
    capture 12 180 308 25 "$WORK/strip.ppm" || return 1
    _out=$(python3 "$HERE/compare_pixels.py" strip "$WORK/strip.ppm" "$WORK") || {
        echo "$_out"
        return 1
    }
    case $_out in *"star shown"*) strip_seen_star=yes ;; esac
}
# Every capture matches a frame; captures go on until one has caught the star.
strip_ok=yes
i=0
while [ $i -lt 40 ] && [ $strip_seen_star = no ]; do
    strip_matches || strip_ok=no
    i=$((i + 1))
done
check "the strip equals the Linux frames away from the letters" test $strip_ok = yes
check "the star twinkles as on Linux" test $strip_seen_star = yes
if [ -n "$ARTIFACTS" ]; then
    cp "$WORK/strip.ppm" "$ARTIFACTS/strip-wine.ppm"
fi
xdotool mousemove --window "$W" 200 10

echo "== a file chosen with clicks and keys, then 設定"
check "the file dialog takes the typed path" choose_file 'C:\music\tone.mp3'
# shellcheck disable=SC2086
click $SET
check "設定 closes the dialog and ends the program" wait_for 30 closed
check "the kind is stored under its code page 932 key" ini_has $KIND 2
check "the repeat value is stored" ini_has $REPEAT 0
check "the path is stored" ini_has $FILE 'C:\music\tone.mp3'

# The stored path, as the settings file holds it, names a file that Windows opens (a short
# form too, which winepath would not follow).
stored_file_exists() {
    _path=$(python3 - "$INI" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
key = bytes.fromhex('42474dcca7b2d9') + b'='
line = [l.rstrip(b'\r') for l in data.split(b'\n') if l.startswith(key)][0]
print(line[len(key):].decode('cp1252'))
PY
)
    wine cmd /c "if exist \"$_path\" echo found" 2>/dev/null | grep -q found
}

echo "== a Japanese file name"
# (xdotool cannot type Cyrillic into Wine's dialogs, so the name of another script is Japanese.)
for name in "ホタルの光.wav"; do
    open_dialog
    if choose_file "C:\\music\\$name"; then
        [ -n "$ARTIFACTS" ] && import -window "$W" "$ARTIFACTS/dialog-wine-$name.png"
        # shellcheck disable=SC2086
        click $SET
        check "設定 with $name" wait_for 30 closed
        check "$name is stored so that Windows finds the file" stored_file_exists
    else
        echo "FAILED: the file dialog takes $name"
        failures=$((failures + 1))
        wineserver -k 2>/dev/null || true
        wineserver -p
    fi
done

echo "== ｷｬﾝｾﾙ changes nothing"
cp "$INI" "$WORK/before.ini"
open_dialog
# shellcheck disable=SC2086
click $MARK_CD
# shellcheck disable=SC2086
click $CANCEL
check "ｷｬﾝｾﾙ closes the dialog" wait_for 30 closed
check "the settings file is unchanged" cmp -s "$INI" "$WORK/before.ini"

box_shown() {
    [ "$(xdotool search --onlyvisible --name '^<Kovessa>$' 2>/dev/null | wc -l)" -ge 2 ]
}
# set_fails WHAT: 設定 after a change; a box tells that the save failed, the dialog stays open
# and ｷｬﾝｾﾙ then closes it.
set_fails() {
    open_dialog
    # shellcheck disable=SC2086
    click $MARK_CD
    # shellcheck disable=SC2086
    click $SET
    check "$1: a box tells that the settings could not be saved" wait_for 30 box_shown
    check "$1: the dialog stays open" kill -0 "$DIALOG_PID"
    xdotool key Return
    # shellcheck disable=SC2086
    click $CANCEL
    check "$1: ｷｬﾝｾﾙ then closes it" wait_for 30 closed
}

echo "== a failed save"
# A dialog left open by a failed step above would take the clicks meant for these.
if [ -n "$DIALOG_PID" ] && ! closed; then
    wineserver -k 2>/dev/null || true
    wineserver -p
fi
# A settings file that cannot be read is not replaced: that would lose what else it holds.
rm -f "$INI"
mkdir "$INI"
set_fails "the settings file's name taken by a folder"
check "the folder stays" test -d "$INI"
rmdir "$INI"

echo "== read-only folders"
# The superuser writes read-only folders all the same, so only another user sees these.
if [ "$(id -u)" -ne 0 ]; then
    # With no settings file beside the program and its folder closed to writing, the save goes
    # to the user's own folder.
    OWN="$WORK/prefix/drive_c/users/$(id -un)/AppData/Roaming/Kovessa"
    chmod a-w "$PROG"
    open_dialog
    # shellcheck disable=SC2086
    click $MARK_CD
    # shellcheck disable=SC2086
    click $SET
    check "設定 closes the dialog" wait_for 30 closed
    own_has_cd() {
        _beside=$INI
        INI="$OWN/Kovessa.ini"
        ini_has $KIND 1
        _found=$?
        INI=$_beside
        return $_found
    }
    check "the choice is stored in the user's own folder" own_has_cd
    check "and not beside the program" test ! -e "$INI"
    # With the user's folder closed too, the save fails.
    rm -f "$OWN/Kovessa.ini"
    chmod a-w "$OWN"
    set_fails "both folders read-only"
    check "no file is left in the user's folder" test -z "$(ls -A "$OWN")"
    chmod u+w "$OWN" "$PROG"
    # A settings file the user may write beside the program, in a folder the user may not, is
    # saved in place, since no new file can be made there.
    printf '[Section]\r\n' >"$INI"
    chmod a-w "$PROG"
    open_dialog
    # shellcheck disable=SC2086
    click $MARK_CD
    # shellcheck disable=SC2086
    click $SET
    check "a writable file in a read-only folder: 設定 closes the dialog" wait_for 30 closed
    check "the choice is stored in that file" ini_has $KIND 1
    chmod u+w "$PROG"
else
    echo "SKIP: run as the superuser"
fi

echo "== an unreadable settings file"
printf '\377\376\000\000garbage\r\n[Section\r\nBGM=\r\n' >"$INI"
check "the dialog opens over it" open_dialog
# shellcheck disable=SC2086
click $CANCEL
check "and closes" wait_for 30 closed

if [ "$failures" -ne 0 ]; then
    echo "settings dialog: $failures check(s) failed"
    exit 1
fi
echo "settings dialog: all checks passed"
