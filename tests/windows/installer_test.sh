#!/bin/sh
# The Windows installer under Wine, as a user would meet it, in a throwaway Wine prefix on a
# private Xvfb:
#   1. a silent install (/S) puts both programs, the README, the licence and the uninstaller in
#      %LOCALAPPDATA%\Programs\Kovessa, makes Kovessa the screensaver (SCRNSAVE.EXE and
#      ScreenSaveActive under HKCU\Control Panel\Desktop, read back with `wine reg query`) and
#      lists the uninstaller among the user's Apps; the screensaver chosen before is kept;
#   2. the program named by SCRNSAVE.EXE, started with /s as Windows starts it, draws its show
#      and plays the music its settings choose, and a pointer move ends it;
#   3. the Start menu entry starts the installed Kovessa.scr with /c (read from the link), and
#      the shell's start of it opens the settings dialog "<Kovessa>";
#   4. a silent uninstall removes every file and key, gives the earlier screensaver back and
#      keeps the user's settings file; /REMOVESETTINGS takes that too.
# Usage: installer_test.sh SETUP.EXE   (scripts/package-windows.sh builds it)
set -eu
if [ ! -f "$1" ]; then
    echo "SKIP: no installer at $1 (scripts/package-windows.sh builds it)"
    exit 77
fi
SETUP=$(readlink -f "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../install/x_helpers.sh"
. "$HERE/../../scripts/xvfb.sh"
. "$HERE/wine_session.sh"
wine_session_begin install
failures=0

DESKTOP='HKCU\Control Panel\Desktop'
UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovessa'
# The value's data as `reg query` prints it ("    NAME    REG_SZ    DATA"), or failure.
reg_value() { # KEY NAME
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p" | grep . || return 1
}
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# A screensaver chosen before Kovessa, to be given back.
wine reg add "$DESKTOP" /v SCRNSAVE.EXE /t REG_SZ /d 'C:\windows\system32\before.scr' /f >/dev/null 2>&1
wine reg add "$DESKTOP" /v ScreenSaveActive /t REG_SZ /d 0 /f >/dev/null 2>&1

LOCALAPPDATA_W=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
APPDATA_W=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
INSTDIR=$(unix_path "$LOCALAPPDATA_W\\Programs\\Kovessa")
APPDATA_U=$(unix_path "$APPDATA_W")
STARTMENU=$(unix_path "$APPDATA_W\\Microsoft\\Windows\\Start Menu\\Programs")

echo "== silent install"
# The setup program returns at once while its work goes on; the uninstaller's entry is written
# last, so it says when the install is done.
wine "$SETUP" /S >/dev/null 2>&1
wait_for 60 reg_value "$UNINSTALL" UninstallString || true
for f in Kovessa.scr Kovessa.xy README.txt LICENSE.txt Uninstall.exe; do
    check "installed $f" test -f "$INSTDIR/$f"
done
check "Start menu entry" test -f "$STARTMENU/Kovessa settings.lnk"
CHOSEN=$(reg_value "$DESKTOP" SCRNSAVE.EXE || true)
printf 'SCRNSAVE.EXE = %s\n' "$CHOSEN"
CHOSEN_U=$(unix_path "$CHOSEN")
check "SCRNSAVE.EXE names the installed Kovessa.scr" \
    test "$(readlink -f "$CHOSEN_U" 2>/dev/null)" = "$(readlink -f "$INSTDIR/Kovessa.scr")"
check "SCRNSAVE.EXE has no blank, so Windows' command line keeps it whole" \
    sh -c "! printf '%s' '$CHOSEN' | grep -q ' '"
check "ScreenSaveActive is 1" test "$(reg_value "$DESKTOP" ScreenSaveActive || true)" = 1
check "listed among the user's Apps" reg_value "$UNINSTALL" DisplayName
QUIET=$(reg_value "$UNINSTALL" QuietUninstallString || true)
check "quiet uninstall command names the uninstaller with /S" \
    sh -c "printf '%s' '$QUIET' | grep -q 'Uninstall.exe\" /S\$'"

echo "== installing again keeps the earlier choice to give back"
wine "$SETUP" /S >/dev/null 2>&1
check "SCRNSAVE.EXE unchanged by a second install" \
    test "$(reg_value "$DESKTOP" SCRNSAVE.EXE || true)" = "$CHOSEN"

echo "== the show, started as Windows starts it"
# Windows starts the value's program with /s. The settings beside the installed program choose
# a WAV, and ALSA's default device of the show's home records what it plays.
python3 - "$WORK/tone.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], 'wb') as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(44100)
    w.writeframes(b''.join(struct.pack('<h', int(12000 * math.sin(2 * math.pi * 440 * i / 44100)))
                           for i in range(44100 * 2)))
PY
# Key names in code page 932: BGM区分, BGMﾘﾋﾟｰﾄ, BGMﾌｧｲﾙ.
printf '[Section]\r\nBGM\213\346\225\252=2\r\nBGM\330\313\337\260\304=0\r\nBGM\314\247\262\331=Z:%s\r\n' \
    "$(printf '%s' "$WORK/tone.wav" | tr / '\\')" >"$INSTDIR/Kovessa.ini"
mkdir -p "$WORK/home"
printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' \
    "$WORK/home/played.raw" >"$WORK/home/.asoundrc"
# centre_lit: the middle of the screen, where the renderer draws the Earth, is not black.
centre_lit() {
    _c=$(import -window root -crop 1x1+640+360 -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | tail -1)
    [ -n "$_c" ] && [ "$_c" != "0 0 0" ]
}
# heard: the recording holds samples that are not silence.
heard() {
    python3 - "$WORK/home/played.raw" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
samples = struct.unpack('<%dh' % (len(data) // 2), data[:len(data) // 2 * 2])
sys.exit(0 if sum(1 for s in samples if abs(s) > 1000) > 1000 else 1)
PY
}
show_ended() { ! kill -0 "$SHOW" 2>/dev/null; }
xdotool mousemove 400 300
(cd "$WORK" && HOME="$WORK/home" exec wine "$CHOSEN" /s >/dev/null 2>&1) &
SHOW=$!
check "the show's window appears" wait_for 60 has_window Zeruma_Main
check "the renderer's window covers the screen" wait_for 60 has_window Zeruma_Pelios
check "the renderer draws the scene" wait_for 60 centre_lit
check "the chosen WAV is heard" wait_for 60 heard
# The pointer moved as a user moves it ends the show and its renderer.
xdotool mousemove 440 340
check "a pointer move ends the show" wait_for 30 show_ended
wait_for 30 sh -c "! xdotool search --name '^Zeruma_Pelios\$'" || true
wine_restart

echo "== the Start menu entry opens the settings"
LINK="$STARTMENU/Kovessa settings.lnk"
python3 "$HERE/read_shell_link.py" "$LINK" >"$WORK/link" 2>&1 || true
sed 's/^/    /' "$WORK/link"
check "the entry starts the installed Kovessa.scr" \
    test "$(readlink -f "$(unix_path "$(sed -n 's/^target: //p' "$WORK/link")")" 2>/dev/null)" = \
    "$(readlink -f "$INSTDIR/Kovessa.scr")"
check "with /c" test "$(sed -n 's/^arguments: //p' "$WORK/link")" = /c
# The link as the shell starts it; the dialog is closed with its ｷｬﾝｾﾙ once drawn (the white
# frame round "BGM"), so that nothing of it is left running for the uninstaller to meet.
dialog_drawn() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root -crop "1x1+$((X + 32))+$((Y + 40))" -depth 8 txt:- 2>/dev/null |
        grep -q '(255,255,255)'
}
dialog_closed() { ! has_window "<Kovessa>"; }
wine start /unix "$LINK" >/dev/null 2>&1 &
START=$!
check "the Start menu entry opens <Kovessa>" wait_for 60 has_window "<Kovessa>"
if has_window "<Kovessa>"; then
    W=$(window_titled "<Kovessa>")
    wait_for 30 dialog_drawn "$W" || true
    xdotool mousemove --window "$W" 430 192 click 1
    check "its ｷｬﾝｾﾙ closes it" wait_for 30 dialog_closed
fi
wait "$START" 2>/dev/null || true
wine_restart

echo "== silent uninstall keeps the user's settings"
printf '[Section]\r\n' >"$INSTDIR/Kovessa.ini"
mkdir -p "$APPDATA_U/Kovessa"
printf '[Section]\r\n' >"$APPDATA_U/Kovessa/Kovessa.ini"
# The uninstaller copies itself away and returns at once; its last step removes the key.
wine "$INSTDIR/Uninstall.exe" /S >/dev/null 2>&1
wait_for 60 sh -c "! wine reg query '$UNINSTALL' >/dev/null 2>&1" || true
wait_for 30 sh -c "! test -e '$INSTDIR/Uninstall.exe'" || true
for f in Kovessa.scr Kovessa.xy README.txt LICENSE.txt Uninstall.exe; do
    check "removed $f" test ! -e "$INSTDIR/$f"
done
check "removed the Start menu entry" test ! -e "$STARTMENU/Kovessa settings.lnk"
check "kept the settings beside the program" test -f "$INSTDIR/Kovessa.ini"
check "kept the settings in %APPDATA%" test -f "$APPDATA_U/Kovessa/Kovessa.ini"
check "removed the Apps entry" sh -c "! wine reg query '$UNINSTALL' >/dev/null 2>&1"
check "removed the installer's own key" \
    sh -c "! wine reg query 'HKCU\\Software\\Kovessa' >/dev/null 2>&1"
check "gave back the earlier screensaver" \
    test "$(reg_value "$DESKTOP" SCRNSAVE.EXE || true)" = 'C:\windows\system32\before.scr'
check "gave back the earlier ScreenSaveActive" \
    test "$(reg_value "$DESKTOP" ScreenSaveActive || true)" = 0

echo "== install and uninstall with /REMOVESETTINGS, no screensaver chosen before"
wine reg delete "$DESKTOP" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true
wine reg delete "$DESKTOP" /v ScreenSaveActive /f >/dev/null 2>&1 || true
wine "$SETUP" /S >/dev/null 2>&1
wait_for 60 reg_value "$UNINSTALL" UninstallString || true
wine "$INSTDIR/Uninstall.exe" /S /REMOVESETTINGS >/dev/null 2>&1
wait_for 60 sh -c "! wine reg query '$UNINSTALL' >/dev/null 2>&1" || true
wait_for 30 sh -c "! test -e '$INSTDIR'" || true
check "removed the folder with the settings in it" test ! -e "$INSTDIR"
check "removed the settings in %APPDATA%" test ! -e "$APPDATA_U/Kovessa"
check "no SCRNSAVE.EXE, as before" \
    sh -c "! wine reg query '$DESKTOP' /v SCRNSAVE.EXE >/dev/null 2>&1"
check "no ScreenSaveActive, as before" \
    sh -c "! wine reg query '$DESKTOP' /v ScreenSaveActive >/dev/null 2>&1"

if [ "$failures" -ne 0 ]; then
    echo "installer: $failures check(s) failed"
    exit 1
fi
echo "installer: all checks passed"
