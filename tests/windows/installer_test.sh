#!/bin/sh
# The Windows installer under Wine, as a user would meet it, in a throwaway Wine prefix on a
# private Xvfb:
#   1. a silent install (/S) puts both programs, the README, the licence and the uninstaller in
#      %LOCALAPPDATA%\Programs\Kovessa, makes Kovessa the screensaver (SCRNSAVE.EXE and
#      ScreenSaveActive under HKCU\Control Panel\Desktop, read back with `wine reg query`) and
#      lists the uninstaller among the user's Apps; the screensaver chosen before is kept;
#   2. the program named by SCRNSAVE.EXE, started with /s as Windows starts it, draws its show;
#   3. the Start menu entry's command opens the settings dialog "<Kovessa>";
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

WORK=$(mktemp -d /tmp/kovessa-wine-install-XXXXXX)
export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all
# No menu files or file associations on the host for what the prefix installs.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
failures=0
cleanup() {
    wineserver -k 2>/dev/null || true
    stop_xvfb
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

start_xvfb
wineboot -i >/dev/null 2>&1
wineserver -w
# One server for the whole test: each Wine command then starts in a second, not in ten.
wineserver -p

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
# Windows starts the value's program with /s; the show's renderer window covers the screen.
if grep -qa 'Zeruma_Main' "$INSTDIR/Kovessa.scr"; then
    wine "$CHOSEN" /s >/dev/null 2>&1 &
    SHOW=$!
    check "the show's window appears" wait_for 60 has_window Zeruma_Main
    check "the renderer draws" wait_for 60 sh -c \
        "import -window root -format '%[fx:maxima]' info: | grep -qv '^0\$'"
    wineserver -k 2>/dev/null || true
    wait "$SHOW" 2>/dev/null || true
    wineserver -p
else
    echo "SKIP: this Kovessa.scr has no show to start"
fi

echo "== the Start menu entry opens the settings"
# The link's target and arguments, as the shell would start them.
wine start /unix "$STARTMENU/Kovessa settings.lnk" >/dev/null 2>&1 &
if wait_for 60 has_window "<Kovessa>"; then
    echo "ok: the Start menu entry opens <Kovessa>"
else
    if grep -qa 'Zeruma_P' "$INSTDIR/Kovessa.scr"; then
        echo "FAILED: the Start menu entry opens <Kovessa>"
        failures=$((failures + 1))
    else
        echo "SKIP: this Kovessa.scr has no settings dialog"
    fi
fi
wineserver -k 2>/dev/null || true
wineserver -p

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
wine reg delete "$DESKTOP" /v SCRNSAVE.EXE /f >/dev/null 2>&1
wine reg delete "$DESKTOP" /v ScreenSaveActive /f >/dev/null 2>&1
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
