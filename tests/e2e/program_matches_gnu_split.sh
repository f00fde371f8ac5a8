#!/bin/sh
# The real program, used through its window with the first-run settings, writes pieces that are
# byte-identical to GNU split's, a batch file that wine's cmd runs to rebuild the source, and a
# log that lists every piece.
set -e
driver="$1"
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$here/tests/gnu_split_compare.sh"

check() { # name size piece-size pieces
    name=$1 base=${1%.*}
    rm -rf "$work/src"
    mkdir -p "$work/src"
    make_source "$work/src/$name" "$2"
    "$here/scripts/wine-run" "$driver" "$(winpath "$work/src")" "$name" "$3"
    count=$(same_as_gnu_split "$work/src/$name" "$3" "$base" "$work/src/$base")
    [ "$count" = "$4" ] || { echo "FAIL: $count pieces, expected $4"; exit 1; }
    listed=$(grep -c "^ *[0-9]*\. $base\.[0-9][0-9][0-9]  " "$work/src/$base/$base.log")
    [ "$listed" = "$4" ] || { echo "FAIL: the log lists $listed pieces, expected $4"; exit 1; }
    (cd "$work/src/$base" && "$here/scripts/wine-run" cmd /c "$base.bat" >/dev/null)
    cmp "$work/src/$name" "$work/src/$base/$name"
    echo "ok: $name, $2 bytes at $3: $4 pieces identical to GNU split's, listed, rejoined by cmd"
}

check data.zip 3500000 1457000 3
check photos.tar 730001 730000 2
check many.bin 99000 100 990
