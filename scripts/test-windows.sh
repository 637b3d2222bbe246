#!/bin/sh
# The Windows stage of the tests: builds the Windows programs and the cross-built logic tests
# (scripts/build-windows.sh), then, in a throwaway Wine prefix, runs those tests under Wine and
# the end-to-end tests of the Linux build labelled "wine", which start the Windows programs from
# build-windows/bin on private Xvfb servers. Prints ctest's summary line for each run.
set -u
cd "$(dirname "$0")/.."
JOBS=${KOVESSA_JOBS:-$(nproc)}
status=0

if ! ./scripts/build-windows.sh; then
    echo "windows: the Windows build failed"
    exit 1
fi
# The installer and the zip, from the programs just built, for the installer's test.
if [ -f build-windows/bin/Kovessa.scr ] && [ -f build-windows/bin/Kovessa.xy ]; then
    if ! KOVESSA_SKIP_WINDOWS_BUILD=1 ./scripts/package-windows.sh >/dev/null; then
        echo "windows: packing the installer failed"
        status=1
    fi
fi
# The end-to-end tests are Linux programs that drive the Windows ones.
if ! ./scripts/build.sh --target wine-tests >/dev/null; then
    echo "windows: the Linux build of the Wine tests failed"
    exit 1
fi

. tests/windows/wine_session.sh
WINEPREFIX=$(mktemp -d /tmp/kovessa-wine-XXXXXX)
export WINEPREFIX
wine_environment
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT INT TERM
# The prefix is made once and shared by every test of this run that does not need one of its
# own.
if ! make_wine_prefix; then
    echo "windows: wineboot could not make the Wine prefix"
    exit 1
fi

echo "== unit tests under Wine"
ctest --test-dir build-windows -j "$JOBS" --output-on-failure --timeout 300 || status=1
echo "== end-to-end tests under Wine"
ctest --test-dir build -L wine -LE pending --output-on-failure --timeout 300 || status=1
exit $status
