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
#   6. braces always (clang-tidy over every source, with the two builds' compile commands).
# Ends with the combined count of passed and failed tests.
set -u
cd "$(dirname "$0")/.."
./scripts/install-deps.sh || exit 1
JOBS=${KOVESSA_JOBS:-$(nproc)}
LOG=$(mktemp -d /tmp/kovessa-test-XXXXXX)
failed_steps=""

echo "== format"
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

echo "== gcc build"
if ./scripts/build.sh >"$LOG/gcc-build.log" 2>&1; then
    echo "== tests (gcc)"
    # The Wine tests run in the Windows stage, inside its Wine prefix.
    ctest --test-dir build -j "$JOBS" -LE wine --output-on-failure --timeout 300 2>&1 |
        tee "$LOG/gcc.txt"
else
    tail -50 "$LOG/gcc-build.log"
    failed_steps="$failed_steps gcc-build"
fi

echo "== windows"
windows_start=$(date +%s)
if ! ./scripts/test-windows.sh 2>&1 | tee "$LOG/windows.txt"; then
    failed_steps="$failed_steps windows"
fi
echo "windows: $(($(date +%s) - windows_start)) s"

echo "== package"
package_start=$(date +%s)
if ./scripts/package-test.sh >"$LOG/package.txt" 2>&1; then
    grep -E '^(ok|FAILED|SKIP|package)' "$LOG/package.txt" | grep -v '^ok' || true
else
    cat "$LOG/package.txt"
    failed_steps="$failed_steps package"
fi
echo "package: $(($(date +%s) - package_start)) s"

echo "== clang sanitizer build"
if CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DKOVESSA_SANITIZE=ON -DKOVESSA_FUZZ=ON -DKOVESSA_WERROR=ON >"$LOG/asan-build.log" 2>&1 &&
    cmake --build build-asan -j "$JOBS" --target unit-tests fuzzers >>"$LOG/asan-build.log" 2>&1; then
    echo "== tests (sanitizers, fuzzers)"
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0 \
        ctest --test-dir build-asan -j "$JOBS" -L 'unit|fuzz' --output-on-failure --timeout 300 \
        2>&1 | tee "$LOG/asan.txt"
else
    tail -50 "$LOG/asan-build.log"
    failed_steps="$failed_steps sanitizer-build"
fi

echo "== braces"
if tools/check_braces.sh >"$LOG/braces.txt" 2>&1; then
    tail -1 "$LOG/braces.txt"
else
    cat "$LOG/braces.txt"
    failed_steps="$failed_steps braces"
fi

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
rm -rf "$LOG"
if [ -n "$failed_steps" ]; then
    echo "Failed steps:$failed_steps"
    failed=$((failed + 1))
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
