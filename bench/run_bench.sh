#!/bin/sh
# Split throughput of Morvane next to GNU split and a plain dd copy, on one source file.
#   sh bench/run_bench.sh [SIZE_MB] [RUNS]        (defaults: 1024 MiB, 5 runs)
#
# The source (SIZE_MB MiB from /dev/urandom) is made once in build/bench-work, on the same file
# system as the outputs, and read once to warm the page cache. Each round then runs, in this order:
#   morvane  split_bench.exe under Wine; its own in-process figure (SplitFile alone, no Wine start-up)
#   gnu      split -b 1457000 -a 3 --numeric-suffixes=1 SOURCE OUT/data.
#   dd       dd if=SOURCE of=OUT/copy bs=256K (the copying ceiling)
# An uncounted warm-up round comes first. Right before every timed run, never inside it, `sync` is
# called, that tool's previous output is deleted and `sync` is called again: no figure pays for
# another run's write-back, and none includes its own (no tool flushes). For Morvane this happens
# after Wine has started and split_bench has set up (it waits for a go line): on a virtual machine
# that hands freed memory back to its host a few seconds later, the time between deleting and
# writing changes the cost of every page written, so it is kept the same, and short, for all
# three. After every round, untimed, each Morvane piece is compared with GNU split's piece of the
# same number and the dd copy with the source. Figures are printed, never judged.
# Set MORVANE_BENCH_KEEP=1 to keep build/bench-work afterwards.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)

# Wine needs a display for the hidden window: everything runs under one private Xvfb.
if [ -z "${MORVANE_BENCH_IN_XVFB:-}" ]; then
    MORVANE_BENCH_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$here/bench/run_bench.sh" "$@"
fi

size_mb=${1:-1024}
runs=${2:-5}
piece=1457000
case "$size_mb$runs" in
    *[!0-9]*)
        echo "usage: sh bench/run_bench.sh [SIZE_MB] [RUNS]" >&2
        exit 2
        ;;
esac
bytes=$((size_mb * 1048576))
pieces=$(((bytes + piece - 1) / piece))
if [ "$runs" -lt 1 ] || [ "$pieces" -lt 2 ] || [ "$pieces" -gt 999 ]; then
    echo "run_bench: $size_mb MiB at $piece bytes makes $pieces pieces; Morvane makes 2 to 999" \
        "(SIZE_MB 2 to 1388), and RUNS must be 1 or more" >&2
    exit 2
fi

build="$here/build"
bench_exe="$build/bench/split_bench.exe"
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "run_bench: configure the build first: cmake -S $here -B $build" >&2
    exit 2
fi
cmake --build "$build" -j2 --target split_bench >/dev/null

work="$build/bench-work"
source="$work/data.bin"
out_morvane="$work/morvane"
out_gnu="$work/gnu"
out_dd="$work/dd"
times="$work/times"
cleanup() {
    if [ -z "${MORVANE_BENCH_KEEP:-}" ]; then
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", b - a }'; }

fresh() { # flushes what the runs before wrote, then empties an output folder just before its run
    sync
    rm -rf "$1"
    mkdir -p "$1"
    sync
}

rm -rf "$work"
mkdir -p "$work"
: >"$times"
echo "source: $size_mb MiB ($bytes bytes) of random data, $pieces pieces of $piece bytes"
head -c "$bytes" /dev/urandom >"$source"
cat "$source" >/dev/null
sync

# One idle Wine program (cmd waiting for a line that never comes) keeps the Wine server and its
# services up from here to the end, so that they do not start again, and work beside the timed
# run, in every round. It ends when this script closes its end of the pipe on exit.
mkfifo "$work/keep"
"$here/scripts/wine-run" cmd /c "set /p idle=" <"$work/keep" >/dev/null 2>&1 &
exec 4>"$work/keep"

verify() { # round
    count=$(find "$out_morvane" -type f | wc -l)
    gnu_count=$(find "$out_gnu" -type f | wc -l)
    if [ "$count" != "$pieces" ] || [ "$gnu_count" != "$pieces" ]; then
        echo "run_bench: round $1: Morvane made $count pieces, GNU split $gnu_count, expected $pieces" >&2
        exit 1
    fi
    for gnu_piece in "$out_gnu"/data.*; do
        name=$(basename "$gnu_piece")
        if ! cmp -s "$gnu_piece" "$out_morvane/$name"; then
            echo "run_bench: round $1: Morvane's $name differs from GNU split's" >&2
            exit 1
        fi
    done
    if ! cmp -s "$source" "$out_dd/copy"; then
        echo "run_bench: round $1: the dd copy differs from the source" >&2
        exit 1
    fi
    echo "  round $1: $count pieces identical to GNU split's, dd copy identical to the source"
}

# Round 0 warms up (the first writes after making the source are slower for every tool) and is
# checked but not counted.
round=0
while [ "$round" -le "$runs" ]; do
    # split_bench starts under Wine and sets up first; only then is its folder emptied, right
    # before the run as for the other tools, and a line on its standard input starts the timed run.
    # Its output goes to a file, not a pipe: a Wine server started by this call may outlive it.
    rm -f "$work/go"
    mkfifo "$work/go"
    : >"$work/figure"
    start=$(now)
    "$here/scripts/wine-run" "$bench_exe" "$(winpath "$source")" "$piece" "$(winpath "$out_morvane")" --wait \
        <"$work/go" >"$work/figure" 2>"$work/errors" 4>&- &
    pid=$!
    exec 3>"$work/go"
    tries=0
    until tr -d '\r' <"$work/figure" | grep -qx ready; do
        if ! kill -0 "$pid" 2>/dev/null || [ "$tries" -ge 1200 ]; then
            echo "run_bench: round $round: split_bench did not get ready:" >&2
            cat "$work/figure" "$work/errors" >&2
            exit 1
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
    startup=$(elapsed "$start" "$(now)")
    fresh "$out_morvane"
    echo go >&3
    exec 3>&-
    status=0
    wait "$pid" || status=$?
    morvane=$(tr -d '\r' <"$work/figure" | awk '$1 == "seconds" { print $2 }')
    if [ "$status" != 0 ] || [ -z "$morvane" ]; then
        echo "run_bench: round $round: split_bench failed (exit $status):" >&2
        cat "$work/figure" "$work/errors" >&2
        exit 1
    fi

    fresh "$out_gnu"
    start=$(now)
    split -b "$piece" -a 3 --numeric-suffixes=1 "$source" "$out_gnu/data."
    end=$(now)
    gnu=$(elapsed "$start" "$end")

    fresh "$out_dd"
    start=$(now)
    dd if="$source" of="$out_dd/copy" bs=256K status=none
    end=$(now)
    copy=$(elapsed "$start" "$end")

    if [ "$round" = 0 ]; then
        label="round 0 (warm-up, not counted)"
    else
        label="round $round"
        echo "$round $morvane $gnu $copy" >>"$times"
    fi
    echo "$label: morvane $morvane s, gnu split $gnu s, dd $copy s" \
        "(Wine start-up and set-up before the morvane run, not counted: $startup s)"
    verify "$round"
    round=$((round + 1))
done
rm -rf "$out_morvane" "$out_gnu" "$out_dd"

column_stats() { # column of $times -> "median minimum"
    awk -v c="$1" '{ print $c }' "$times" | sort -g | awk '
        { v[NR] = $1 }
        END {
            median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%.6f %.6f", median, v[1]
        }'
}

echo
echo "machine: $(nproc) CPUs, $(uname -sr), $(wine --version 2>/dev/null || echo wine)," \
    "file system $(df -PT "$work" | awk 'NR == 2 { print $2 }')"
echo "source: $size_mb MiB, $pieces pieces, $runs runs after a warm-up round, page cache warm," \
    "sync, delete, sync before each run"
printf '%-12s %12s %12s %12s %12s\n' tool "median s" "min s" "median MiB/s" "best MiB/s"
row() { # tool median minimum
    awk -v t="$1" -v med="$2" -v min="$3" -v mib="$size_mb" 'BEGIN {
        printf "%-12s %12.3f %12.3f %12.1f %12.1f\n", t, med, min, mib / med, mib / min }'
}
# shellcheck disable=SC2046 # each stats text is two numbers, split on purpose
{
    row morvane $(column_stats 2)
    row gnu_split $(column_stats 3)
    row dd $(column_stats 4)
}
median() { column_stats "$1" | awk '{ print $1 }'; }
awk -v m="$(median 2)" -v g="$(median 3)" -v d="$(median 4)" 'BEGIN {
    printf "throughput ratio morvane/gnu_split %.3f\n", g / m
    printf "throughput ratio morvane/dd        %.3f\n", d / m
}'
