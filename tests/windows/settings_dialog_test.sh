#!/bin/sh
# The settings dialog of Kovessa.scr (/c) under Wine on a private Xvfb, driven with real pointer
# clicks and keys as a user would:
#   1. it opens as "<Kovessa>"; its screenshot is kept (ARTIFACTS/dialog-wine.png);
#   2. away from its letters, the display strip on the screen equals bit for bit a frame that
#      the Linux strip code computes (tests/windows/reference_pixels), the star included;
#   3. the Command button's six looks equal the faces the Linux painter composes, outside their
#      captions;
#   4. the file option, "...", a path typed into the system's file dialog, then 設定: the
#      settings file beside the program holds the code page 932 key bytes and the chosen values;
#   5. file names in Japanese and in Cyrillic, which the prefix's code page (1252) cannot spell,
#      are kept so that Windows finds the file again and knows it by its own name;
#   6. a path longer than the settings keep is refused with a box, and nothing changes;
#   7. ｷｬﾝｾﾙ after a change leaves the settings file byte for byte as it was;
#   8. an unreadable settings file: the dialog opens all the same and closes cleanly;
#   9. with the program's folder closed to writing, 設定 saves into %APPDATA%\Kovessa; with that
#      folder closed too, a box says so and the dialog stays open.
# Folder modes do not bind the superuser: started as root, the test makes an ordinary user and
# runs as that user, in a prefix of its own.
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
. "$HERE/wine_session.sh"
PROBE="$BIN/../tests/wine_window_probe.exe"

run_as_ordinary_user --writes "$ARTIFACTS" "$HERE/settings_dialog_test.sh" "$BIN" "$REFERENCE" \
    "$ARTIFACTS"
wine_session_begin dialog
failures=0

PROG="$WINEPREFIX/drive_c/Kovessa"
MUSIC="$WINEPREFIX/drive_c/music"
APPDATA_U="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
mkdir -p "$PROG" "$MUSIC"
cp "$BIN/Kovessa.scr" "$BIN/Kovessa.xy" "$PROG/"
INI="$PROG/Kovessa.ini"
JAPANESE="ホタルの光.wav"
CYRILLIC="Светлячки.wav"
# A name that makes the path 258 bytes: Windows takes it, the settings keep 255 at most.
LONG_NAME="$(printf '%0245d' 0).wav"
for name in tone.mp3 "$JAPANESE" "$CYRILLIC" "$LONG_NAME"; do
    printf 'RIFF' >"$MUSIC/$name"
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
# The dialog's windows titled "<Kovessa>": the dialog, and a box of its own when it tells one.
kovessa_windows() {
    xdotool search --name '^<Kovessa>$' 2>/dev/null | wc -l
}
box_shown() { [ "$(kovessa_windows)" -ge 2 ]; }
# box_says TEXT: the dialog's box holds TEXT (read from inside Wine); the box is then closed.
box_says() {
    _box=$(wine "$PROBE" box "<Kovessa>" 2>/dev/null | tr -d '\r')
    printf '%s\n' "$_box" | grep -q "$1" || {
        printf 'the box says: %s\n' "$_box"
        return 1
    }
    # Its OK button has the focus.
    xdotool key Return
    wait_for 30 sh -c "[ \$(xdotool search --name '^<Kovessa>\$' 2>/dev/null | wc -l) -eq 1 ]"
}
# The option marks, "...", 設定 and ｷｬﾝｾﾙ, where the dialog places them at 96 dots per inch.
MARK_CD="38 74"
MARK_NONE="38 94"
MARK_FILE="38 114"
BROWSE="62 134"
SET="356 192"
CANCEL="430 192"

# open_file_dialog: the file option, then "..."; the file dialog is given the keyboard (no
# window manager does it), with its name field focused as it opens.
open_file_dialog() {
    # shellcheck disable=SC2086
    click $MARK_FILE
    # shellcheck disable=SC2086
    click $BROWSE
    wait_for 30 has_window "ﾌｧｲﾙを開く" || return 1
    wait_for 30 file_dialog_focused
}
# Asks for the keyboard for the file dialog until it has it (a window that is not yet shown
# cannot take it).
file_dialog_focused() {
    _d=$(window_titled "ﾌｧｲﾙを開く") || return 1
    xdotool windowfocus "$_d" 2>/dev/null || true
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$_d" ]
}
file_dialog_gone() { wait_for 30 sh -c "! xdotool search --name '^ﾌｧｲﾙを開く\$'"; }
# choose_file PATH: PATH typed into the file dialog, then Return.
choose_file() {
    open_file_dialog || return 1
    xdotool type --delay 20 "$1"
    xdotool key Return
    file_dialog_gone
}
# choose_named_file PATH: the same for a name that keys sent from the X side cannot spell (they
# reach Wine as Latin letters only): the name is put into the dialog's name field from inside.
choose_named_file() {
    open_file_dialog || return 1
    wine "$PROBE" name "ﾌｧｲﾙを開く" "$1" || return 1
    wait_for 30 file_dialog_focused
    xdotool key Return
    file_dialog_gone
}

# The settings file's lines, as key bytes in hex = value.
ini_has() { # FILE KEY_HEX VALUE
    python3 - "$1" "$2" "$3" <<'PY'
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
# The stored music path, as the settings file holds it (in the prefix's code page, 1252).
stored_path() {
    python3 - "$INI" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
key = bytes.fromhex('42474dcca7b2d9') + b'='
line = [l.rstrip(b'\r') for l in data.split(b'\n') if l.startswith(key)][0]
print(line[len(key):].decode('cp1252'))
PY
}

echo "== the dialog opens"
check "opens as <Kovessa>" open_dialog
if [ -n "$ARTIFACTS" ]; then
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

echo "== the buttons' six looks, as on Linux"
# face_is X Y W H PICTURE HOVER: the button at X, Y shows the Linux face (picture 0 Normal,
# 1 HighLight, 2 Selected, 3 HighLightSelect, 4 Pressed, 5 Disable; HOVER 1 when the gradient
# is turned over) outside its caption.
face_is() {
    _ref="$WORK/face-$3x$4-$5-$6.ppm"
    [ -f "$_ref" ] || "$REFERENCE" face "$3" "$4" "$5" "$6" "$_ref" >/dev/null 2>&1 || return 1
    capture "$1" "$2" "$3" "$4" "$WORK/face.ppm" &&
        python3 "$HERE/compare_pixels.py" face "$WORK/face.ppm" "$_ref"
}
# check_face WHAT X Y W H PICTURE HOVER: waits for that face, and says why when it never came.
check_face() {
    _what=$1
    shift
    if wait_for 10 face_is "$@"; then
        echo "ok: $_what"
    else
        echo "FAILED: $_what"
        face_is "$@" || true
        failures=$((failures + 1))
    fi
    [ -z "$ARTIFACTS" ] || cp "$WORK/face.ppm" "$ARTIFACTS/face-$3x$4-$5.ppm"
}
SET_FACE="320 180 73 25"
CANCEL_FACE="396 180 69 25"
xdotool mousemove --window "$W" 200 10
# shellcheck disable=SC2086
check_face "設定 at rest: Normal" $SET_FACE 0 0
# shellcheck disable=SC2086
check_face '"..." while the file option is not chosen: Disable' 48 124 29 21 5 0
# Tab: the combo and "..." are disabled, so the focus goes to 設定.
xdotool key Tab
# shellcheck disable=SC2086
check_face "設定 with the focus: Selected" $SET_FACE 2 0
xdotool mousemove --window "$W" 356 192
# shellcheck disable=SC2086
check_face "設定 with the focus and the pointer: HighLightSelect" $SET_FACE 3 0
xdotool mousemove --window "$W" 430 192
# shellcheck disable=SC2086
check_face "ｷｬﾝｾﾙ under the pointer: HighLight" $CANCEL_FACE 1 1
# Held down, ｷｬﾝｾﾙ takes the focus; dragged off before the release, it is not clicked.
xdotool mousedown 1
# shellcheck disable=SC2086
check_face "ｷｬﾝｾﾙ held down: Pressed" $CANCEL_FACE 4 1
xdotool mousemove --window "$W" 200 10
# shellcheck disable=SC2086
check_face "ｷｬﾝｾﾙ with the focus, the pointer gone: Selected" $CANCEL_FACE 2 0
xdotool mouseup 1
check "dragged off, ｷｬﾝｾﾙ did not close the dialog" sh -c "kill -0 $DIALOG_PID"

echo "== a file chosen with clicks and keys, then 設定"
check "the file dialog takes the typed path" choose_file 'C:\music\tone.mp3'
# shellcheck disable=SC2086
click $SET
check "設定 closes the dialog and ends the program" wait_for 30 closed
check "the kind is stored under its code page 932 key" ini_has "$INI" $KIND 2
check "the repeat value is stored" ini_has "$INI" $REPEAT 0
check "the path is stored" ini_has "$INI" $FILE 'C:\music\tone.mp3'

# The stored path names a file that Windows opens, and that Windows knows by NAME.
stored_file_is() { # NAME
    _path=$(stored_path)
    wine cmd /c "if exist $_path echo found" 2>/dev/null | grep -q found || {
        echo "Windows does not find $_path"
        return 1
    }
    _long=$(wine "$PROBE" long "$_path" 2>/dev/null | tr -d '\r')
    [ "$_long" = "C:\\music\\$1" ] || {
        echo "$_path is known as $_long"
        return 1
    }
}

echo "== file names in other scripts"
for name in "$JAPANESE" "$CYRILLIC"; do
    open_dialog
    if choose_named_file "C:\\music\\$name"; then
        [ -z "$ARTIFACTS" ] || import -window "$W" "$ARTIFACTS/dialog-wine-$name.png"
        # shellcheck disable=SC2086
        click $SET
        check "設定 with $name" wait_for 30 closed
        check "$name is stored so that Windows finds the file by its name" stored_file_is "$name"
        check "the key bytes stay in code page 932 with $name" ini_has "$INI" $KIND 2
    else
        echo "FAILED: the file dialog takes $name"
        failures=$((failures + 1))
        wine_restart
    fi
done

echo "== a path longer than the settings keep"
cp "$INI" "$WORK/before.ini"
open_dialog
if choose_named_file "C:\\music\\$LONG_NAME"; then
    check "a box says the path is too long" wait_for 30 box_shown
    check "the box names the limit" box_says "at most 255"
    check "the dialog stays open" sh -c "kill -0 $DIALOG_PID && [ \$(xdotool search --name '^<Kovessa>\$' | wc -l) -eq 1 ]"
else
    echo "FAILED: the file dialog takes a path of 258 bytes"
    failures=$((failures + 1))
fi
# shellcheck disable=SC2086
click $SET
check "設定 then closes" wait_for 30 closed
check "the earlier path is kept" cmp -s "$INI" "$WORK/before.ini"

echo "== ｷｬﾝｾﾙ changes nothing"
open_dialog
# shellcheck disable=SC2086
click $MARK_CD
# shellcheck disable=SC2086
click $CANCEL
check "ｷｬﾝｾﾙ closes the dialog" wait_for 30 closed
check "the settings file is unchanged" cmp -s "$INI" "$WORK/before.ini"

echo "== the program's folder closed to writing"
USER_INI="$APPDATA_U/Kovessa/Kovessa.ini"
# As in Program Files: the folder and the administrator's file beside the program are not the
# user's to change.
chmod a-w "$PROG" "$INI"
open_dialog
# shellcheck disable=SC2086
click $MARK_CD
# shellcheck disable=SC2086
click $SET
check "設定 closes the dialog" wait_for 30 closed
check "the settings land in %APPDATA%\\Kovessa" ini_has "$USER_INI" $KIND 1
check "the file beside the program is unchanged" cmp -s "$INI" "$WORK/before.ini"

echo "== %APPDATA%\\Kovessa closed to writing too"
cp "$USER_INI" "$WORK/user-before.ini"
# A folder closed to a user on Windows is closed with the files it holds.
chmod a-w "$APPDATA_U/Kovessa" "$USER_INI"
open_dialog
# shellcheck disable=SC2086
click $MARK_NONE
# shellcheck disable=SC2086
click $SET
check "a box says the settings could not be saved" wait_for 30 box_shown
check "the box names the failure" box_says "could not be saved"
check "the dialog stays open" sh -c "kill -0 $DIALOG_PID"
check "nothing is written" sh -c "cmp -s '$USER_INI' '$WORK/user-before.ini' && cmp -s '$INI' '$WORK/before.ini'"
# shellcheck disable=SC2086
click $CANCEL
check "ｷｬﾝｾﾙ then closes it" wait_for 30 closed
chmod u+w "$PROG" "$INI" "$APPDATA_U/Kovessa" "$USER_INI"

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
