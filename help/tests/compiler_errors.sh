#!/bin/sh
# A source error stops the help compiler with "file:line: reason" and exit code 1, and writes no
# help file. The compiler is a program of the build machine.   sh compiler_errors.sh COMPILER
compiler=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

check() { # line reason source
    printf '%s' "$3" >"$work/help.hps"
    status=0
    "$compiler" "$work/help.hps" "$work/help.hlp" 2>"$work/said" >/dev/null || status=$?
    said=$(cat "$work/said")
    if [ "$status" != 1 ] || [ "$said" != "$work/help.hps:$1: $2" ] || [ -e "$work/help.hlp" ]; then
        echo "FAIL: exit $status, said \"$said\", expected line $1: $2"
        failed=1
    fi
}

h='.help Test Help
'
check 3 "context 'Intro' is already used by the topic at line 2" "$h.topic intro First
.topic Intro Second
"
check 3 "character U+2603 is not in the Windows-1252 code page of the help file" "$h.topic a First
A snowman $(printf '\342\230\203') here.
"
check 1 "the source gives no help title ('.help')" ".topic a First
Text.
"
exit $failed
