#!/bin/sh
# A source error stops the help compiler with "file:line: reason" and exit code 1, and writes no
# file; a good source gets bold headings and runs, and jumps around their texts, in the help file
# and the web page; the project's page has every topic's heading and an anchor for every link.
# The compiler is a program of the build machine.   sh compiler.sh COMPILER HELPSOURCE
compiler=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

check() { # line reason source
    printf '%s' "$3" >"$work/help.hps"
    status=0
    "$compiler" "$work/help.hps" "$work/help.hlp" "$work/help.html" 2>"$work/said" >/dev/null || status=$?
    said=$(cat "$work/said")
    if [ "$status" != 1 ] || [ "$said" != "$work/help.hps:$1: $2" ] || [ -e "$work/help.hlp" ] || [ -e "$work/help.html" ]; then
        echo "FAIL: exit $status, said \"$said\", expected line $1: $2"
        failed=1
    fi
}

h='.help Test Help
'
check 3 "context 'Intro' is already used by the topic at line 2" "$h.topic intro First
.topic Intro Second
"
# The look, in the bytes the viewer reads: the fonts (plain, bold, the heading's bold 14 points,
# fixed pitch), the heading drawn in the third, a jump's hot spot (0xE3 and the target's hash, up
# to 0x89) around exactly its text, then "bold" in the bold font and the plain one again.
printf '%s.topic a Heading\nSee [[b|the jump]] and **bold** here.\n.topic b Other\nText.\n' "$h" >"$work/help.hps"
"$compiler" "$work/help.hps" "$work/help.hlp" "$work/help.html"
bytes=" $(od -An -v -tx1 "$work/help.hlp" | tr -s ' \n' '  ') "
for look in ' 00 14 03( 00){5} ff ff ff 01 14 03( 00){5} ff ff ff 01 1c 03( 00){5} ff ff ff 00 14 01 ' ' 80 02 00 82 ff ' \
    ' 80 00 00 e3( [0-9a-f]{2}){4} 89 80 01 00 80 00 00 82 ff ' \
    ' 00 53 65 65 20 00 74 68 65 20 6a 75 6d 70 00 20 61 6e 64 20 00 62 6f 6c 64 00 20 68 65 72 65 2e 00 00 '; do
    printf '%s' "$bytes" | grep -Eq "$look" || { echo "FAIL: the help file lacks $look" && failed=1; }
done
look='<p>See <a href="#b">the jump</a> and <b>bold</b> here.</p>'
grep -qF "$look" "$work/help.html" || { echo "FAIL: the web page lacks $look" && failed=1; }

# Every topic's heading, and the anchor of every link, on the web page of the project's help.
"$compiler" "$2" "$work/help.hlp" "$work/help.html"
missing=$({ sed -n 's|^\.topic \([^ ]*\) \(.*\)|<h2 id="\1">\2</h2>|p' "$2"
    grep -o 'href="#[^"]*"' "$work/help.html" | sed 's|href="#\(.*\)"|id="\1"|'; } |
    sort -u | while IFS= read -r want; do grep -qF "$want" "$work/help.html" || echo "$want"; done)
[ -z "$missing" ] || { echo "FAIL: the web page lacks $missing" && failed=1; }
for tag in ul li pre p; do # every block it opens, it closes
    [ "$(grep -o "<$tag>" "$work/help.html" | wc -l)" = "$(grep -o "</$tag>" "$work/help.html" | wc -l)" ] ||
        { echo "FAIL: the web page leaves <$tag> open" && failed=1; }
done
exit $failed
