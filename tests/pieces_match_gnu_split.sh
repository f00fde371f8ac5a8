#!/bin/sh
# The pieces of the program's split run are byte-identical to GNU split's numbered pieces, for
# sources with a short last piece, an exact multiple, one byte over, and the 999-piece limit.
set -e
tool="$1"
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

check() { # size piece-size
    rm -rf "$work/src" "$work/ours" "$work/gnu"
    mkdir -p "$work/src" "$work/ours" "$work/gnu"
    head -c "$1" /dev/urandom > "$work/src/data.bin"
    # make sure the bytes a text-mode copy would spoil are present
    printf '\000\032\r\n\032' | dd of="$work/src/data.bin" conv=notrunc status=none
    "$here/scripts/wine-run" "$tool" "$(winpath "$work/src/data.bin")" "$2" "$(winpath "$work/ours")" >/dev/null
    (cd "$work/gnu" && split -b "$2" -a 3 --numeric-suffixes=1 "$work/src/data.bin" data.)
    ours=$(ls "$work/ours" | wc -l)
    gnu=$(ls "$work/gnu" | wc -l)
    if [ "$ours" != "$gnu" ]; then
        echo "FAIL: $1 bytes at $2: $ours pieces, GNU split made $gnu"
        exit 1
    fi
    for piece in "$work/gnu"/*; do
        cmp "$piece" "$work/ours/$(basename "$piece")"
    done
    echo "ok: $1 bytes at $2: $ours identical pieces"
}

check 3500000 1457000
check 3000000 1000000
check 1000001 1000000
check 200000 65535
check 999 1
