# Shared by the shell checks that hold pieces against GNU split's; sourced by them, not run.

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# make_source FILE SIZE: SIZE random bytes that begin with the bytes a text-mode copy would spoil
# (NUL, Ctrl-Z, CR LF).
make_source() {
    head -c "$2" /dev/urandom > "$1"
    printf '\000\032\r\n\032' | dd of="$1" conv=notrunc status=none
}

# same_as_gnu_split SOURCE SIZE BASE FOLDER (absolute paths): FOLDER holds exactly the pieces that
# `split -b SIZE -a 3 --numeric-suffixes=1 SOURCE BASE.` makes (BASE.001, BASE.002, ...), as many
# and byte for byte. Prints their number; otherwise says why on standard error and fails.
same_as_gnu_split() {
    gnu=$(mktemp -d)
    (cd "$gnu" && split -b "$2" -a 3 --numeric-suffixes=1 "$1" "$3.")
    expected=$(ls "$gnu" | wc -l)
    found=$(find "$4" -maxdepth 1 -type f -name "$3.[0-9]*" | wc -l)
    if [ "$found" != "$expected" ]; then
        echo "FAIL: $4 holds $found pieces of $3, GNU split made $expected" >&2
        rm -rf "$gnu"
        return 1
    fi
    for piece in "$gnu"/*; do
        if ! cmp "$piece" "$4/$(basename "$piece")" >&2; then
            rm -rf "$gnu"
            return 1
        fi
    done
    rm -rf "$gnu"
    echo "$expected"
}
