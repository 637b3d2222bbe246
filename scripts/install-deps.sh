#!/bin/sh
# Installs the packages that Kovessa needs, on Debian 12 or 13. Packages that are already there
# are not fetched again, so a second run costs a second.
#   install-deps.sh          what building, running and testing need (test.sh, CI)
#   install-deps.sh --run    what building and running need, nothing for the tests (show.sh)
#   install-deps.sh --no-windows   all but the Windows tools: the other release's root, where
#                                  the Windows stage does not run (the programs are the same)
set -eu

# Building (the build configures its tests too, so GoogleTest is among these) and running,
# with or without a display: Xvfb, xdpyinfo and import take show.sh's screenshot.
RUN_PACKAGES="cmake ninja-build g++ pkg-config
qt6-base-dev libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
libx11-dev libxfixes-dev libxtst-dev libxcb1-dev
libmpg123-dev libsndfile1-dev libcdio-dev libcdio-cdda-dev libcdio-paranoia-dev
libgtest-dev libgmock-dev
xvfb x11-utils imagemagick procps
fonts-liberation fonts-ipafont-gothic fontconfig"
# The checks: the sanitizer build and the lint tools, the end-to-end tests' input tools, both
# screensaver daemons, the test sounds, and the Debian package's tools.
TEST_PACKAGES="clang libclang-rt-dev clang-format clang-tidy mesa-utils
xauth x11-xserver-utils xdotool
xscreensaver xscreensaver-gl openbox
sox libsox-fmt-mp3 lame
build-essential debhelper dpkg-dev fakeroot lintian git desktop-file-utils"
# The Windows programs: cross-built with mingw-w64 and tested under Wine, whose media commands
# decode MP3 through GStreamer.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix wine wine64
gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
nsis zip"
# The MATE daemon is tested on its own: its recommended power manager is a desktop's business.
LEAN_PACKAGES="mate-screensaver dbus-x11 xsecurelock"
# Packages that one release has and the other has not (xfce4-screensaver came with Debian 13),
# and the tools that build and check the second release's root and both packages.
optional_lean_packages() {
    # Without package lists (a fresh container) apt knows no package at all: fetch them first.
    if ! apt-cache show cmake >/dev/null 2>&1; then
        if [ "$(id -u)" -eq 0 ]; then apt-get update -qq; else sudo apt-get update -qq; fi
    fi
    for p in xfce4-screensaver; do
        # A name that other packages only mention is known to apt too, with no version to install.
        if apt-cache show --no-all-versions "$p" 2>/dev/null | grep -q '^Package:'; then
            printf ' %s' "$p"
        fi
    done
}
LEAN_PACKAGES="$LEAN_PACKAGES $(optional_lean_packages) mmdebstrap piuparts ccache"

PACKAGES="$RUN_PACKAGES $TEST_PACKAGES"
if [ "${1:-}" = "--run" ]; then
    PACKAGES=$RUN_PACKAGES
    LEAN_PACKAGES=""
fi

missing_in() {
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            printf ' %s' "$p"
        fi
    done
}

# With --windows, only what the Windows build and its tests need.
if [ "${1:-}" = "--windows" ]; then
    PACKAGES="cmake ninja-build libgtest-dev libgmock-dev $WINDOWS_PACKAGES"
    LEAN_PACKAGES=""
elif [ "${1:-}" = "--no-windows" ] || [ "${1:-}" = "--run" ]; then
    :
else
    PACKAGES="$PACKAGES $WINDOWS_PACKAGES"
fi

# shellcheck disable=SC2086 # word splitting of the lists is wanted
missing=$(missing_in $PACKAGES)
# shellcheck disable=SC2086
lean=$(missing_in $LEAN_PACKAGES)
[ -z "$missing$lean" ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing:$missing$lean"
$SUDO apt-get update -qq
if [ -n "$missing" ]; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
if [ -n "$lean" ]; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $lean
fi
