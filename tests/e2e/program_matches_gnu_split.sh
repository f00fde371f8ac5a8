#!/bin/sh
# The real program, used through its window with the first-run settings, writes pieces that are
# byte-identical to GNU split's, a batch file that wine's cmd runs to rebuild the source, and a
# log that lists every piece.
set -e
driver="$1"
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

check() { # name size piece-size pieces
    name=$1 base=${1%.*}
    rm -rf "$work/src" "$work/gnu"
    mkdir -p "$work/src" "$work/gnu"
    head -c "$2" /dev/urandom > "$work/src/$name"
    printf '\000\032\r\n\032' | dd of="$work/src/$name" conv=notrunc status=none
    "$here/scripts/wine-run" "$driver" "$(winpath "$work/src")" "$name" "$3"
    (cd "$work/gnu" && split -b "$3" -a 3 --numeric-suffixes=1 "$work/src/$name" "$base.")
    count=$(ls "$work/gnu" | wc -l)
    [ "$count" = "$4" ] || { echo "FAIL: GNU split made $count pieces, expected $4"; exit 1; }
    for piece in "$work/gnu"/*; do
        cmp "$piece" "$work/src/$base/$(basename "$piece")"
    done
    listed=$(grep -c "^ *[0-9]*\. $base\.[0-9][0-9][0-9]  " "$work/src/$base/$base.log")
    [ "$listed" = "$4" ] || { echo "FAIL: the log lists $listed pieces, expected $4"; exit 1; }
    (cd "$work/src/$base" && "$here/scripts/wine-run" cmd /c "$base.bat" >/dev/null)
    cmp "$work/src/$name" "$work/src/$base/$name"
    echo "ok: $name, $2 bytes at $3: $4 pieces identical to GNU split's, listed, rejoined by cmd"
}

check data.zip 3500000 1457000 3
check photos.tar 730001 730000 2
check many.bin 99000 100 990
