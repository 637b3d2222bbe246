#!/bin/sh
# Installs what Kovessa needs, builds it twice and runs every check:
#   1. the code format (clang-format, fails on any difference);
#   2. the gcc build with warnings as errors, every test: unit tests, the toolkit-free logic
#      boundary, and the end-to-end tests that run both programs on private Xvfb servers;
#   3. the Windows programs, cross-built with mingw-w64: the logic tests and the end-to-end
#      tests under Wine (scripts/test-windows.sh);
#   4. the Debian package: built with dpkg-buildpackage, checked with lintian, and (as root)
#      installed, tried as a user would, and purged (scripts/package-test.sh);
#   5. the clang build with AddressSanitizer + UndefinedBehaviorSanitizer: the unit tests
#      again, and each libFuzzer target for a short run over its regression inputs;
#   6. the naming style and braces always (tools/check_naming.sh: clang-tidy over every source,
#      with the two builds' compile commands);
#   7. the other Debian release (13 on a Debian 12 machine, 12 on 13): the whole suite again but
#      the Windows stage and the names, which are the same on both, in a root of that release
#      (scripts/in-other-release.sh); and both releases' packages under piuparts, with the
#      upgrade from the one to the other (scripts/piuparts-test.sh), beside the rest of that
#      suite once its package is built. Both need root: run as a user, they go through sudo
#      where sudo asks for no password, and are skipped, saying so, where it does.
# Ends with the time each stage took and the combined count of passed and failed tests.
# --this-release leaves the other release out (all but step 7), for a quicker full run;
# --quick builds and runs the unit tests alone (ctest -L unit), for the edit-compile-test loop.
set -u
cd "$(dirname "$0")/.."
# The other release's run (in its root) leaves the Windows stage to the first one.
if [ "${KOVESSA_OTHER_RELEASE:-yes}" = no ]; then
    ./scripts/install-deps.sh --no-windows || exit 1
else
    ./scripts/install-deps.sh || exit 1
fi
JOBS=${KOVESSA_JOBS:-$(nproc)}
# Inside the other release's root the suite runs for that release alone.
WITH_OTHER_RELEASE=yes
if [ "${1:-}" = "--this-release" ] || [ "${KOVESSA_OTHER_RELEASE:-yes}" = no ]; then
    WITH_OTHER_RELEASE=no
fi
# The roots and piuparts need root.
AS_ROOT=""
if [ "$WITH_OTHER_RELEASE" = yes ] && [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then
        AS_ROOT="sudo -n"
    else
        WITH_OTHER_RELEASE=unable
    fi
fi
# A machine that keeps its compiler cache between runs compiles only what changed.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
    export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi
if [ "${1:-}" = "--quick" ]; then
    ./scripts/build.sh --target unit-tests || exit 1
    exec ctest --test-dir "${KOVESSA_BUILD_DIR:-build}" -j "$JOBS" -L unit --output-on-failure \
        --timeout 300
fi
LOG=$(mktemp -d /tmp/kovessa-test-XXXXXX)
failed_steps=""
# took NAME START: prints the seconds since START for the stage NAME and keeps them for the
# table at the end.
took() {
    echo "$1: $(($(date +%s) - $2)) s" | tee -a "$LOG/times.txt"
}
suite_start=$(date +%s)

# The other release's roots are made (or found fresh) in the background while this release's
# stages run: that is mostly downloading and unpacking, and the stage at the end waits for it.
if [ "$WITH_OTHER_RELEASE" = yes ]; then
    (
        . /etc/os-release
        case ${VERSION_ID:-} in 12*) other=trixie ;; *) other=bookworm ;; esac
        $AS_ROOT ./scripts/release-root.sh dev "$other" &&
            $AS_ROOT ./scripts/release-root.sh base bookworm &&
            $AS_ROOT ./scripts/release-root.sh base trixie
    ) >"$LOG/roots.log" 2>&1 &
fi

echo "== format"
stage_start=$(date +%s)
# The project's own sources: what git tracks, or every source outside the build folders when
# the tree is not a git checkout (an unpacked release, say).
sources() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files '*.cpp' '*.h'
    else
        find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print
    fi
}
if sources | xargs clang-format --dry-run --Werror; then
    echo "format: clean"
else
    failed_steps="$failed_steps format"
fi
took format "$stage_start"

echo "== gcc build"
stage_start=$(date +%s)
if ./scripts/build.sh >"$LOG/gcc-build.log" 2>&1; then
    took "gcc build" "$stage_start"
    echo "== tests (gcc)"
    stage_start=$(date +%s)
    # The Wine tests run in the Windows stage, inside its Wine prefix.
    ctest --test-dir build -j "$JOBS" -LE wine --output-on-failure --timeout 300 2>&1 |
        tee "$LOG/gcc.txt"
    took "gcc tests" "$stage_start"
else
    tail -50 "$LOG/gcc-build.log"
    failed_steps="$failed_steps gcc-build"
fi

echo "== windows"
# The Windows programs are the same whichever release cross-builds them: tried once, by the run
# on this machine.
windows_start=$(date +%s)
if [ "${KOVESSA_OTHER_RELEASE:-yes}" = no ]; then
    echo "windows: tried on the first release"
elif ! ./scripts/test-windows.sh 2>&1 | tee "$LOG/windows.txt"; then
    failed_steps="$failed_steps windows"
fi
took windows "$windows_start"

echo "== package"
# The .deb stays for the piuparts stage.
export KOVESSA_PACKAGE_OUT="${KOVESSA_PACKAGE_OUT:-$LOG/package}"
package_start=$(date +%s)
if ./scripts/package-test.sh >"$LOG/package.txt" 2>&1; then
    grep -E '^(ok|FAILED|SKIP|package)' "$LOG/package.txt" | grep -v '^ok' || true
else
    cat "$LOG/package.txt"
    failed_steps="$failed_steps package"
fi
took package "$package_start"

echo "== clang sanitizer build"
stage_start=$(date +%s)
if CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DKOVESSA_SANITIZE=ON -DKOVESSA_FUZZ=ON -DKOVESSA_WERROR=ON >"$LOG/asan-build.log" 2>&1 &&
    cmake --build build-asan -j "$JOBS" --target unit-tests fuzzers >>"$LOG/asan-build.log" 2>&1; then
    took "sanitizer build" "$stage_start"
    echo "== tests (sanitizers, fuzzers)"
    stage_start=$(date +%s)
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0 \
        ctest --test-dir build-asan -j "$JOBS" -L 'unit|fuzz' --output-on-failure --timeout 300 \
        2>&1 | tee "$LOG/asan.txt"
    took "sanitizer tests" "$stage_start"
else
    tail -50 "$LOG/asan-build.log"
    failed_steps="$failed_steps sanitizer-build"
fi

echo "== names and braces"
stage_start=$(date +%s)
# The sources are the same on the other release: checked once, by the run on this machine.
if [ "${KOVESSA_OTHER_RELEASE:-yes}" = no ]; then
    echo "names and braces: checked on the first release"
elif tools/check_naming.sh >"$LOG/names.txt" 2>&1; then
    tail -1 "$LOG/names.txt"
else
    cat "$LOG/names.txt"
    failed_steps="$failed_steps names-and-braces"
fi
took "names and braces" "$stage_start"

# ---- the other Debian release, and both releases' packages under piuparts --------------------
other_release_stage() {
    echo "== the other Debian release"
    other_start=$(date +%s)
    mkdir -p "$LOG/other-package"
    # Its end is marked by a file: through sudo, this script may not signal the run to ask.
    (
        KOVESSA_PACKAGE_OUT="$LOG/other-package" $AS_ROOT ./scripts/in-other-release.sh \
            ./scripts/test.sh >"$LOG/other.txt" 2>&1
        touch "$LOG/other.done"
    ) &
    other_pid=$!
    # piuparts needs both packages. The other release's comes with its package stage, half way
    # through its suite; piuparts, mostly fetching and unpacking, then runs beside the rest.
    here_deb=$(ls "$KOVESSA_PACKAGE_OUT"/kovessa_*.deb 2>/dev/null | head -1)
    other_deb=""
    while [ -z "$other_deb" ] && [ ! -e "$LOG/other.done" ]; do
        sleep 1
        other_deb=$(ls "$LOG"/other-package/kovessa_*.deb 2>/dev/null | head -1)
    done
    other_deb=${other_deb:-$(ls "$LOG"/other-package/kovessa_*.deb 2>/dev/null | head -1)}
    piuparts_pid=""
    if [ -n "$here_deb" ] && [ -n "$other_deb" ]; then
        # Older release first: the upgrade goes from it to the newer one.
        set -- "$here_deb" "$other_deb"
        case "$here_deb" in *~deb13u*) set -- "$other_deb" "$here_deb" ;; esac
        piuparts_start=$(date +%s)
        (
            $AS_ROOT ./scripts/piuparts-test.sh "$1" "$2" >"$LOG/piuparts.txt" 2>&1
            took piuparts "$piuparts_start" >/dev/null
        ) &
        piuparts_pid=$!
    fi
    wait "$other_pid"
    # Its stages, what failed there, and its own count, which is added to this one's below.
    grep -E '^(== |the |on |[0-9]+% tests|Failed steps|[0-9]+ passed|Stage times|  .*: [0-9]+ s$)|FAILED|\((Failed|Timeout)\)' \
        "$LOG/other.txt"
    took "other release" "$other_start"
    other_line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$LOG/other.txt" | tail -1)
    if [ -z "$other_line" ]; then
        tail -30 "$LOG/other.txt"
        failed_steps="$failed_steps other-release"
    fi
    echo "== piuparts"
    if [ -z "$piuparts_pid" ]; then
        echo "piuparts: a package is missing (this release: ${here_deb:-none}, the other: ${other_deb:-none})"
        failed_steps="$failed_steps piuparts"
        return
    fi
    wait "$piuparts_pid"
    cat "$LOG/piuparts.txt"
    piuparts_line=$(grep -E '^piuparts: [0-9]+ passed, [0-9]+ failed$' "$LOG/piuparts.txt")
    if [ -z "$piuparts_line" ]; then
        failed_steps="$failed_steps piuparts"
    fi
}
case $WITH_OTHER_RELEASE in
yes) other_release_stage ;;
unable) echo "== the other Debian release: SKIP (its root and piuparts need root, or sudo with no password)" ;;
esac

# ctest closes with "N% tests passed, F tests failed out of T"; add the runs up.
passed=0 failed=0
# The Windows stage has two runs (the logic tests under Wine, the end-to-end tests).
for f in "$LOG/gcc.txt" "$LOG/windows.txt" "$LOG/asan.txt"; do
    [ -f "$f" ] || continue
    lines=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$f")
    if [ -z "$lines" ]; then
        failed_steps="$failed_steps $(basename "$f" .txt)-no-summary"
        continue
    fi
    while IFS= read -r line; do
        f_count=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
        t_count=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/')
        passed=$((passed + t_count - f_count))
        failed=$((failed + f_count))
    done <<EOF_LINES
$lines
EOF_LINES
done
# The other release's suite and piuparts close with "N passed, N failed" lines of their own.
for line in "${other_line:-}" "${piuparts_line:-}"; do
    [ -n "$line" ] || continue
    counts=$(echo "$line" | sed -E 's/^[^0-9]*([0-9]+) passed, ([0-9]+) failed$/\1 \2/')
    passed=$((passed + ${counts% *}))
    failed=$((failed + ${counts#* }))
done
took "the whole suite" "$suite_start" >/dev/null
echo "Stage times:"
sed 's/^/  /' "$LOG/times.txt"
rm -rf "$LOG"
if [ -n "$failed_steps" ]; then
    echo "Failed steps:$failed_steps"
    failed=$((failed + 1))
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
