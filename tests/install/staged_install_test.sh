#!/bin/sh
# staged_install_test.sh BUILD_DIR CONFIGURED_PREFIX
# Installs the build into a staging folder with `cmake --install --prefix`, checks the tree of
# files, and starts the installed settings dialog through the hack folder's link: the program
# must find Kovessa.xy beside its real path, not beside the link.
set -eu
BUILD=$1
PREFIX=$2
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/../../scripts/xvfb.sh"
. "$HERE/x_helpers.sh"

STAGE=$(mktemp -d /tmp/kovessa-stage-XXXXXX)
cleanup() {
    [ -n "${DIALOG:-}" ] && kill "$DIALOG" 2>/dev/null
    stop_xvfb
    rm -rf "$STAGE"
}
trap cleanup EXIT
failures=0

cmake --install "$BUILD" --prefix "$STAGE/usr" >/dev/null

# 1. The tree: exactly these files and links.
expected="usr/bin/kovessa-xscreensaver-register
usr/lib/kovessa/Kovessa.scr
usr/lib/kovessa/Kovessa.xy
usr/lib/xscreensaver/kovessa
usr/libexec/xscreensaver/kovessa
usr/share/applications/kovessa-settings.desktop
usr/share/applications/screensavers/kovessa.desktop
usr/share/doc/kovessa/LICENSE
usr/share/doc/kovessa/README.md
usr/share/doc/kovessa/docs/buttons.png
usr/share/doc/kovessa/docs/dialog-long-path.png
usr/share/doc/kovessa/docs/dialog.png
usr/share/doc/kovessa/docs/preview.png
usr/share/doc/kovessa/docs/show.jpg
usr/share/icons/hicolor/128x128/apps/kovessa.png
usr/share/icons/hicolor/16x16/apps/kovessa.png
usr/share/icons/hicolor/22x22/apps/kovessa.png
usr/share/icons/hicolor/24x24/apps/kovessa.png
usr/share/icons/hicolor/256x256/apps/kovessa.png
usr/share/icons/hicolor/32x32/apps/kovessa.png
usr/share/icons/hicolor/48x48/apps/kovessa.png
usr/share/icons/hicolor/64x64/apps/kovessa.png
usr/share/man/man1/kovessa-xscreensaver-register.1
usr/share/xscreensaver/config/kovessa.xml"
actual=$(cd "$STAGE" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
expected=$(echo "$expected" | LC_ALL=C sort)
if [ "$actual" = "$expected" ]; then
    echo "ok: the installed tree"
else
    echo "FAILED: the installed tree differs (- expected, + installed):"
    echo "$expected" >"$STAGE/expected.txt"
    echo "$actual" >"$STAGE/actual.txt"
    diff "$STAGE/expected.txt" "$STAGE/actual.txt" || true
    failures=$((failures + 1))
fi

LINK=$STAGE/usr/libexec/xscreensaver/kovessa
check "the hack is a relative link to the installed Kovessa.scr" \
    test "$(readlink "$LINK")" = "../../lib/kovessa/Kovessa.scr"
check "the link resolves" test "$(readlink -f "$LINK")" = "$STAGE/usr/lib/kovessa/Kovessa.scr"
check "the older hack folder's link resolves" \
    test "$(readlink -f "$STAGE/usr/lib/xscreensaver/kovessa")" = "$STAGE/usr/lib/kovessa/Kovessa.scr"
check "both programs may be run" test -x "$STAGE/usr/lib/kovessa/Kovessa.scr" -a \
    -x "$STAGE/usr/lib/kovessa/Kovessa.xy" -a -x "$STAGE/usr/bin/kovessa-xscreensaver-register"

THEME=$STAGE/usr/share/applications/screensavers/kovessa.desktop
check "the theme entry runs the hack with --root" \
    grep -qx "Exec=$PREFIX/libexec/xscreensaver/kovessa --root" "$THEME"
check "the theme entry tries the hack" grep -qx "TryExec=$PREFIX/libexec/xscreensaver/kovessa" "$THEME"
check "the theme entry is a screensaver" grep -qx "Categories=Screensaver;" "$THEME"
check "the theme entry has a name" grep -qx "Name=Kovessa" "$THEME"
MENU=$STAGE/usr/share/applications/kovessa-settings.desktop
check "the menu entry opens the dialog" grep -qx "Exec=$PREFIX/lib/kovessa/Kovessa.scr /c" "$MENU"
check "the menu entry is named" grep -qx "Name=Kovessa settings" "$MENU"
check "the menu entry has the icon" grep -qx "Icon=kovessa" "$MENU"
if command -v desktop-file-validate >/dev/null 2>&1; then
    check "both entries are valid desktop entries" desktop-file-validate "$THEME" "$MENU"
fi
check "the settings form names the hack" \
    grep -q '<screensaver name="kovessa" _label="Kovessa" gl="yes">' \
    "$STAGE/usr/share/xscreensaver/config/kovessa.xml"
for size in 16 22 24 32 48 64 128 256; do
    check "icon ${size}x${size}" test "$(identify -format '%w %h' \
        "$STAGE/usr/share/icons/hicolor/${size}x${size}/apps/kovessa.png")" = "$size $size"
done

# 2. Started through the link, the program finds Kovessa.xy beside its real path and opens the
#    dialog. A lone copy of Kovessa.scr (no renderer beside it) shows the missing-renderer
#    message instead: that is what a program that looked beside the link would do. The server
#    is open to every local user, as in the package test.
start_xvfb -ac
"$LINK" /c &
DIALOG=$!
check "through the link: the settings dialog opens" wait_for 20 has_window "<Kovessa>"
if has_window "Kovessa(ScreenSaver)"; then
    echo "FAILED: the missing-renderer message showed"
    failures=$((failures + 1))
fi
kill "$DIALOG" 2>/dev/null || true
wait "$DIALOG" 2>/dev/null || true
DIALOG=""
mkdir "$STAGE/lone"
cp "$STAGE/usr/lib/kovessa/Kovessa.scr" "$STAGE/lone/"
"$STAGE/lone/Kovessa.scr" /c &
DIALOG=$!
check "a lone copy: the missing-renderer message shows" \
    wait_for 20 has_window "Kovessa(ScreenSaver)"
kill "$DIALOG" 2>/dev/null || true
wait "$DIALOG" 2>/dev/null || true
DIALOG=""

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
