#!/bin/sh
# Fails when an if, else, for, while or do body in the project's sources is not a braced block
# (clang-tidy's readability-braces-around-statements, set up in .clang-tidy). It reads the
# compile commands of configured builds, so each file is parsed with its real flags; headers
# are checked through the sources that include them.
# Usage: tools/check_braces.sh [--fix] [--build DIR]... [FILE.cpp ...]
#   --build DIR  a build whose compile_commands.json to use; may be given more than once, and
#                each file is taken from the first build that compiles it (default: build,
#                then build-asan where it exists, which adds the fuzzers)
#   --fix        adds the missing braces in place, one file at a time so that a header shared
#                by two sources is never rewritten twice; run clang-format afterwards
#   FILE.cpp     only these sources (default: every tracked source a build compiles)
set -u
cd "$(dirname "$0")/.."
fix="" builds=""
while [ $# -gt 0 ]; do
    case $1 in
    --fix) fix="--fix-errors" ;;
    --build) builds="$builds $2"; shift ;;
    *) break ;;
    esac
    shift
done
if [ -z "$builds" ]; then
    builds=build
    [ -f build-asan/compile_commands.json ] && builds="build build-asan"
fi
for b in $builds; do
    if [ ! -f "$b/compile_commands.json" ]; then
        echo "no $b/compile_commands.json: configure a build first (scripts/build.sh)" >&2
        exit 2
    fi
done
jobs=${KOVESSA_JOBS:-$(nproc)}
[ -n "$fix" ] && jobs=1
if [ $# -gt 0 ]; then
    files=$*
else
    files=$(git ls-files '*.cpp')
fi
# Pairs of build and file; a file that no build compiles has no flags and is left out.
list=$(mktemp)
for f in $files; do
    for b in $builds; do
        if grep -qF "\"file\": \"$PWD/$f\"" "$b/compile_commands.json"; then
            echo "$b $f"
            break
        fi
    done
done >"$list"
report=$(mktemp)
xargs -P "$jobs" -n 2 sh -c 'clang-tidy -p "$0" --quiet '"$fix"' "$1"' <"$list" 2>/dev/null |
    grep -E 'warning:|error:' | sort -u >"$report"
count=$(wc -l <"$report")
cat "$report"
echo "checked $(wc -l <"$list") files: $count missing braces"
rm -f "$list" "$report"
[ "$count" -eq 0 ]
