#!/bin/sh
# Fails when a name in the project's sources breaks the naming style of CONTRIBUTING.md
# (clang-tidy's readability-identifier-naming, with the style below). The names the design
# gives are accepted as they are: tools/design_names.txt lists them. Braces always (.clang-tidy)
# are checked in the same pass. It reads the compile commands of configured builds, so each file
# is parsed with its real flags, and headers are checked through the sources that include them.
# Usage: tools/check_naming.sh [--fix] [--build DIR]... [FILE.cpp ...]
#   --build DIR  a build whose compile_commands.json to use; may be given more than once, and
#                each file is taken from the first build that compiles it (default: build,
#                then build-asan where it exists, which adds the fuzzers)
#   --fix        renames what breaks the style, in the declarations and every use that the
#                checked sources see (the replacements of all sources are collected first and
#                applied once, so a header shared by several sources is rewritten once); run
#                clang-format afterwards, and build: a use in a file no build compiles, or an
#                override in a class that only a test declares, may need a hand
#   --export DIR as --fix, but leaves the replacements in DIR (one YAML file a source, for
#                clang-apply-replacements) instead of making them
#   FILE.cpp     only these sources (default: every tracked source a build compiles)
set -u
cd "$(dirname "$0")/.."
fix="" export="" builds=""
while [ $# -gt 0 ]; do
    case $1 in
    --fix) fix=1 ;;
    --export) fix=1 export=$2; shift ;;
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
if [ $# -gt 0 ]; then
    files=$*
else
    files=$(git ls-files '*.cpp')
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM

# The design's names as one alternation, each a whole name.
design=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' tools/design_names.txt | paste -sd '|' -)
if [ -z "$design" ]; then
    echo "tools/design_names.txt lists no name" >&2
    exit 2
fi
ignored="^($design)\$"
# The checks, header filter and options of .clang-tidy (braces always) ride along, so that
# test.sh reads every source once.
checks=$(sed -n "s/^Checks: *'\(.*\)'\$/\1/p" .clang-tidy)
headers=$(sed -n "s/^HeaderFilterRegex: *'\(.*\)'\$/\1/p" .clang-tidy)

# The house style, kind by kind; a kind not named here is not checked. clang-tidy 14 reports
# the invented template parameter of a constrained placeholder ('expr-type'), which no source
# spells, so that kind ignores it instead of the design's names.
{
    echo "Checks: '$checks,readability-identifier-naming'"
    echo "WarningsAsErrors: '*'"
    echo "HeaderFilterRegex: '$headers'"
    echo "CheckOptions:"
    sed -n '/^CheckOptions:/,/^\.\.\./{/^  /p}' .clang-tidy
    while read -r kind style affix; do
        [ -z "$kind" ] && continue
        echo "  - { key: readability-identifier-naming.${kind}Case, value: $style }"
        case $kind in
        TemplateParameter) echo "  - { key: readability-identifier-naming.${kind}IgnoredRegexp, value: '^expr-type\$' }" ;;
        *) echo "  - { key: readability-identifier-naming.${kind}IgnoredRegexp, value: '$ignored' }" ;;
        esac
        case $affix in
        k) echo "  - { key: readability-identifier-naming.${kind}Prefix, value: k }" ;;
        _) echo "  - { key: readability-identifier-naming.${kind}Suffix, value: _ }" ;;
        esac
    done <<'EOF'
Namespace lower_case
Class CamelCase
Struct CamelCase
Union CamelCase
Enum CamelCase
EnumConstant CamelCase
TypeAlias CamelCase
Typedef CamelCase
TemplateParameter CamelCase
Function CamelCase
Method CamelCase
PrivateMember camelBack _
ProtectedMember camelBack _
PublicMember camelBack
ClassMember camelBack _
ConstexprVariable CamelCase k
Variable camelBack
Parameter camelBack
EOF
} >"$work/config"

# Pairs of build and file; a file that no build compiles has no flags and is left out.
for f in $files; do
    for b in $builds; do
        if grep -qF "\"file\": \"$PWD/$f\"" "$b/compile_commands.json"; then
            echo "$b $f"
            break
        fi
    done
done >"$work/list"
mkdir "$work/fixes"
# With --fix each source's replacements go to a file of their own, and are applied together
# once every source is read: a replacement that several sources find is made once.
export work fix
nl -ba "$work/list" |
    xargs -P "$jobs" -n 3 sh -c 'clang-tidy -p "$1" --quiet --config-file="$work/config" \
        ${fix:+--export-fixes="$work/fixes/$0.yaml"} "$2"' 2>/dev/null |
    grep -E 'warning:|error:' | sort -u >"$work/report"
count=$(wc -l <"$work/report")
cat "$work/report"
echo "checked $(wc -l <"$work/list") files: $count names off the style or missing braces"
if [ -n "$export" ]; then
    mkdir -p "$export" && cp "$work"/fixes/*.yaml "$export"/ 2>/dev/null
    echo "replacements left in $export"
elif [ -n "$fix" ] && [ "$count" -gt 0 ]; then
    clang-apply-replacements "$work/fixes" || exit 1
    echo "renamed; run clang-format over the changed files, build, and check again"
fi
[ "$count" -eq 0 ]
