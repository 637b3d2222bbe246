#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Kovessa need. Packages
# that are already there are not fetched again, so a second run costs a second.
set -eu

PACKAGES="cmake ninja-build g++ pkg-config clang libclang-rt-14-dev clang-format clang-tidy
qt6-base-dev libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri mesa-utils
libx11-dev libxfixes-dev libxtst-dev libxcb1-dev
libmpg123-dev libsndfile1-dev libcdio-dev libcdio-cdda-dev libcdio-paranoia-dev
libgtest-dev libgmock-dev
xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick procps
xscreensaver xscreensaver-gl openbox
fonts-liberation fonts-ipafont-gothic fontconfig
sox libsox-fmt-mp3 lame
debhelper dpkg-dev fakeroot lintian git desktop-file-utils"
# The Windows programs: cross-built with mingw-w64 and tested under Wine, whose media commands
# decode MP3 through GStreamer.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix wine wine64
gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
nsis zip"
# The MATE daemon is tested on its own: its recommended power manager is a desktop's business.
LEAN_PACKAGES="mate-screensaver dbus-x11"

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
