#!/bin/sh
# Fails when a logic source (one that must stay free of the window toolkit, SDL, OpenGL and
# Xlib) includes such a header, directly or through another header.
# Usage: check_logic_includes.sh LIST_FILE CXX SOURCE_DIR
set -u
list=$1 cxx=$2 root=$3
forbidden='/(qt6|Qt[A-Za-z]*|SDL2|X11|GL|xcb)/'
status=0 count=0
while IFS= read -r src; do
    [ -n "$src" ] || continue
    count=$((count + 1))
    if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]|SDL|X11/|GL/|xcb/)' "$src"; then
        echo "FAIL: $src includes a toolkit header" >&2
        status=1
        continue
    fi
    case $src in *.h) lang="-x c++-header" ;; *) lang="-x c++" ;; esac
    deps=$($cxx -std=c++20 $lang -M -MG -I"$root" "$src" 2>&1) || {
        echo "FAIL: cannot list the includes of $src:" >&2
        echo "$deps" >&2
        status=1
        continue
    }
    bad=$(printf '%s\n' "$deps" | tr ' ' '\n' | grep -E "$forbidden")
    if [ -n "$bad" ]; then
        echo "FAIL: $src pulls in toolkit headers:" >&2
        printf '%s\n' "$bad" >&2
        status=1
    fi
done < "$list"
echo "checked $count logic files"
exit $status
