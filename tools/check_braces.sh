#!/bin/sh
# Fails when an if, else, for, while or do body in the project's sources is not a braced block
# (clang-tidy's readability-braces-around-statements, set up in .clang-tidy). It reads the
# compile commands of a configured build, so each file is parsed with its real flags; headers
# are checked through the sources that include them.
# Usage: tools/check_braces.sh [--fix] [--build DIR] [FILE.cpp ...]
#   --build DIR  the build whose compile_commands.json to use (default build; build-asan also
#                covers the fuzzers)
#   --fix        adds the missing braces in place, one file at a time so that a header shared
#                by two sources is never rewritten twice; run clang-format afterwards
#   FILE.cpp     only these sources (default: every tracked source the build compiles)
set -u
cd "$(dirname "$0")/.."
fix="" build=build
while [ $# -gt 0 ]; do
    case $1 in
    --fix) fix="--fix-errors" ;;
    --build) build=$2; shift ;;
    *) break ;;
    esac
    shift
done
jobs=${KOVESSA_JOBS:-$(nproc)}
[ -n "$fix" ] && jobs=1
if [ ! -f "$build/compile_commands.json" ]; then
    echo "no $build/compile_commands.json: configure a build first (scripts/build.sh)" >&2
    exit 2
fi
if [ $# -gt 0 ]; then
    files=$*
else
    files=$(git ls-files '*.cpp')
fi
# Only what the build compiles has compile commands (a fuzzer exists only in the fuzz build).
list=$(mktemp)
for f in $files; do
    grep -qF "\"file\": \"$PWD/$f\"" "$build/compile_commands.json" && echo "$f"
done >"$list"
report=$(mktemp)
xargs -P "$jobs" -n 1 clang-tidy -p "$build" --quiet $fix <"$list" 2>/dev/null |
    grep -E 'warning:|error:' | sort -u >"$report"
count=$(wc -l <"$report")
cat "$report"
echo "checked $(wc -l <"$list") files: $count missing braces"
rm -f "$list" "$report"
[ "$count" -eq 0 ]
