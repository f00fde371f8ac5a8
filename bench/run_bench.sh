#!/bin/sh
# Split throughput of Morvane next to GNU split and a plain dd copy, on one source file.
#   sh bench/run_bench.sh [SIZE_MB] [RUNS]        (defaults: 1024 MiB, 5 runs)
#
# The source (SIZE_MB MiB from /dev/urandom) is made once in build/bench-work, on the same file
# system as the outputs, and read once to warm the page cache. Each round then runs, in this order:
#   morvane  split_bench.exe under Wine; its own in-process figure (SplitFile alone, no Wine start-up)
#   gnu      split -b 1457000 -a 3 --numeric-suffixes=1 SOURCE OUT/data.
#   dd       dd if=SOURCE of=OUT/copy bs=256K (the copying ceiling)
# The outputs of the previous run are deleted and `sync` is called before every timed run, never
# inside it: no tool's figure pays for another's write-back, and none includes its own (no tool
# flushes). After every round, untimed, each Morvane piece is compared with GNU split's piece of
# the same number and the dd copy with the source. The figures are printed, never judged.
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

fresh() { # empties an output folder and lets the write-back of whatever was there finish
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

# Wine's server and services start here, so that no round pays for them (the in-process figure
# would not anyway, but the first round's wall-clock figure would).
"$here/scripts/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true

verify() { # round
    count=$(ls "$out_morvane" | wc -l)
    gnu_count=$(ls "$out_gnu" | wc -l)
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

round=1
while [ "$round" -le "$runs" ]; do
    fresh "$out_morvane"
    start=$(now)
    # Into a file, not a pipe: a Wine server started by this call may outlive it holding its output.
    status=0
    "$here/scripts/wine-run" "$bench_exe" "$(winpath "$source")" "$piece" "$(winpath "$out_morvane")" \
        </dev/null >"$work/figure" 2>"$work/errors" || status=$?
    end=$(now)
    morvane=$(awk '$1 == "morvane_seconds" { print $2 }' "$work/figure")
    if [ "$status" != 0 ] || [ -z "$morvane" ]; then
        echo "run_bench: round $round: split_bench failed (exit $status):" >&2
        cat "$work/figure" "$work/errors" >&2
        exit 1
    fi
    wine_wall=$(elapsed "$start" "$end")

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

    echo "round $round: morvane $morvane s (whole Wine process $wine_wall s), gnu split $gnu s, dd $copy s"
    echo "$round $morvane $gnu $copy $wine_wall" >>"$times"
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
echo "source: $size_mb MiB, $pieces pieces, $runs runs, page cache warm, sync before each run"
printf '%-12s %12s %12s %12s %12s\n' tool "median s" "min s" "median MiB/s" "best MiB/s"
set -- morvane 2 gnu_split 3 dd 4 morvane_wine 5
while [ $# -gt 0 ]; do
    stats=$(column_stats "$2")
    printf '%s %s\n' "$1" "$stats" | awk -v mib="$size_mb" '{
        printf "%-12s %12.3f %12.3f %12.1f %12.1f\n", $1, $2, $3, mib / $2, mib / $3 }'
    eval "median_$1=\${stats%% *}"
    shift 2
done
echo "(morvane_wine: the whole split_bench process under Wine, start-up included; for reference only)"
awk -v m="$median_morvane" -v g="$median_gnu_split" -v d="$median_dd" 'BEGIN {
    printf "throughput ratio morvane/gnu_split %.3f\n", g / m
    printf "throughput ratio morvane/dd        %.3f\n", d / m
}'
