#!/bin/sh
# The pieces of the program's split run are byte-identical to GNU split's numbered pieces, for
# sources with a short last piece, an exact multiple, one byte over, and the 999-piece limit.
set -e
tool="$1"
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$here/tests/gnu_split_compare.sh"

check() { # size piece-size
    rm -rf "$work/src" "$work/ours"
    mkdir -p "$work/src" "$work/ours"
    make_source "$work/src/data.bin" "$1"
    "$here/scripts/wine-run" "$tool" "$(winpath "$work/src/data.bin")" "$2" "$(winpath "$work/ours")" >/dev/null
    count=$(same_as_gnu_split "$work/src/data.bin" "$2" data "$work/ours")
    files=$(ls "$work/ours" | wc -l)
    [ "$files" = "$count" ] || { echo "FAIL: $1 bytes at $2: $files files for $count pieces"; exit 1; }
    echo "ok: $1 bytes at $2: $count identical pieces"
}

check 3500000 1457000
check 3000000 1000000
check 1000001 1000000
check 200000 65535
check 999 1
