#!/bin/sh
# The program's SHA-256 against the standard test vectors and sha256sum, on both of its engines, on
# random data whose lengths fall on either side of a block's edge (64 bytes) and of the program's
# transfer (65,535 bytes, which the stand-in certutil reads in):
#   sh digests.sh WINE_RUN ARCH CERTUTIL_EXE
set -eu
run=$1 arch=$2 exe=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '' >"$dir/empty"
printf abc >"$dir/abc"
printf abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq >"$dir/448bits"
vectors="empty e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855
abc ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad
448bits 248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"
for n in 1 55 56 63 64 65 65535 65536 1000003; do
    head -c "$n" /dev/urandom >"$dir/random$n"
done
engines=portable
grep -qw sha_ni /proc/cpuinfo && engines="portable extensions" || echo "no SHA extensions here: their engine is not tested"
for engine in $engines; do
    for file in "$dir"/*; do
        name=$(basename "$file")
        ours=$(MORVANE_CERTUTIL=win10 MORVANE_SHA256_ENGINE=$engine "$run" "$arch" "$exe" -hashfile "Z:$file" SHA256 |
            tr -d '\r' | sed -n 2p)
        theirs=$(sha256sum <"$file" | cut -c1-64)
        known=$(echo "$vectors" | awk -v n="$name" '$1 == n { print $2 }')
        [ "$ours" = "$theirs" ] && [ "$theirs" = "${known:-$theirs}" ] ||
            { echo "$engine, $name: $ours; sha256sum $theirs; known ${known:-none}"; exit 1; }
    done
done
echo "both engines give sha256sum's digests: $engines"
