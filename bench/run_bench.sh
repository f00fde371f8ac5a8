#!/bin/sh
# What a user waits for when Morvane splits a file, next to the platform's floor and two peers.
#   sh bench/run_bench.sh [SIZE_MB] [RUNS]        (defaults: 1024 MiB, 5 runs)
#   sh bench/run_bench.sh --large [RUNS]          (a source of 4 GiB + 5 bytes, 3 runs)
# It times the 32-bit build (build/, the product) where this machine runs 32-bit x86 code, and the
# 64-bit build (build-x64/) otherwise or when MORVANE_ARCHS=win64; the figures say which.
# The work folder is DIR/bench-work, DIR being $MORVANE_BENCH_DIR (default: the build folder), so that the
# same figures can be taken on the project's disk and on a tmpfs (MORVANE_BENCH_DIR=/dev/shm).
#
# The source (SIZE_MB MiB from /dev/urandom) is made once in the work folder and read once to warm
# the page cache. Each round then takes, in this order (README.md says what each includes):
#   morvane_real_click   click_bench.exe clicks Split on the real Morvane.exe: until idle again
#   morvane_checksums    the same click with Batch File checked: the checksum file and the batch file
#                        too, each piece's SHA-256 and the whole file's computed as the bytes pass
#   morvane_join         click_bench.exe --join: the real Morvane.exe joins those pieces (Join, chosen
#                        by the first piece) into a folder of its own, every digest checked
#   cat                  cat OUT/data.[0-9][0-9][0-9] >data.bin: the same pieces joined by cat
#   batch_file           Wine's cmd runs the checksums click's batch file in the pieces' folder
#   morvane_first_start  the same click with a first start's options: batch file, log, sub-folder
#   morvane_in_process   split_bench.exe: SplitFile alone, no window
#   bare_loop            bare_bench.exe: the same pieces from a bare Win32 loop
#   bare_loop_progress   bare_bench.exe --progress: the same, stepping a visible progress bar
#   gnu_split            split -b 1457000 -a 3 --numeric-suffixes=1 SOURCE OUT/data.
#   dd                   dd if=SOURCE of=OUT/copy bs=256K (the copying ceiling)
#   morvane_cancel       click_bench.exe --cancel: the real click, then Cancel half-way (--large:
#                        half a second into the first 2 GiB piece); from Cancel until idle again
# An uncounted warm-up round comes first. Right before every timed run, never inside it, `sync` is
# called, that run's previous output is deleted and `sync` is called again: no figure pays for
# another run's write-back, and none includes its own (no tool flushes). A Wine program starts
# and sets up first and runs on a go line sent after that deletion: on a virtual machine that
# hands freed memory back to its host a few seconds later, the time between deleting and
# writing changes the cost of every page written, so it is kept the same, and short, for all.
# After every round, untimed, each Wine program's pieces are compared with GNU split's, the first
# start's batch file and log are checked, and the dd copy is compared with the source. Figures
# are printed, never judged. The real click's run also gives the slowest answer of the window to a
# message sent every few milliseconds during the split.
# --large times the real click on a source of 4 GiB + 5 bytes in three pieces (two of 2147483647
# bytes) next to dd copying it on the same disk, and checks that the pieces rebuild the source.
# morvane_cancel is printed apart: a wait for the Cancel, not a throughput; click_bench checks that
# the cancelled split left no piece.
# Set MORVANE_BENCH_KEEP=1 to keep the work folder afterwards.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)

# Wine needs a display for the windows: everything runs under one private Xvfb.
if [ -z "${MORVANE_BENCH_IN_XVFB:-}" ]; then
    MORVANE_BENCH_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" sh "$here/bench/run_bench.sh" "$@"
fi

large=""
if [ "${1:-}" = --large ]; then
    large=1
    shift
    set -- 4096 "${1:-3}"
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
if [ -n "$large" ]; then
    piece=2147483647
    bytes=$((bytes + 5))
fi
pieces=$(((bytes + piece - 1) / piece))
if [ "$runs" -lt 1 ] || [ "$pieces" -lt 2 ] || [ "$pieces" -gt 999 ]; then
    echo "run_bench: $size_mb MiB at $piece bytes makes $pieces pieces; Morvane makes 2 to 999" \
        "(SIZE_MB 2 to 1388), and RUNS must be 1 or more" >&2
    exit 2
fi

. "$here/scripts/machine.sh"
arch=${archs%% *}
build="$here/$(build_dir $arch)"
echo "run_bench: $machine_kind: timing the $(build_name $arch), $build"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$here/$(toolchain $arch)" >/dev/null
cmake --build "$build" -j2 --target Morvane split_bench bare_bench click_bench >/dev/null
sh "$here/scripts/prefix.sh" $arch

work="${MORVANE_BENCH_DIR:-$build}/bench-work"
source="$work/data.bin"
times="$work/times"
tools="morvane_real_click morvane_checksums morvane_join cat batch_file morvane_first_start morvane_in_process bare_loop
bare_loop_progress gnu_split dd"
[ -z "$large" ] || tools="morvane_real_click dd"
cancel_at="half-way"
[ -z "$large" ] || cancel_at="half a second into the first piece of 2147483647 bytes"
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
source_sha256=$(sha256sum <"$source" | cut -c1-64)
sync

# One idle Wine program (cmd waiting for a line that never comes) keeps the Wine server and its
# services up from here to the end, so that they do not start again, and work beside the timed
# run, in every round. It ends when this script closes its end of the pipe on exit.
mkfifo "$work/keep"
"$here/scripts/wine-run" $arch cmd /c "set /p idle=" <"$work/keep" >/dev/null 2>&1 &
exec 4>"$work/keep"

wine_tool() { # tool exe [flag [source]]: starts it, empties its folder once it is ready, sets $figure
    out="$work/$1"
    rm -f "$work/go"
    mkfifo "$work/go"
    : >"$work/figure"
    # Output goes to a file, not a pipe: a Wine server started by this call may outlive it.
    # shellcheck disable=SC2086 # the optional flag, unquoted so that an empty one vanishes
    "$here/scripts/wine-run" $arch "$build/bench/$2.exe" "$(winpath "${4:-$source}")" "$piece" "$(winpath "$out")" \
        --wait ${3:-} <"$work/go" >"$work/figure" 2>"$work/errors" 4>&- &
    pid=$!
    exec 3>"$work/go"
    tries=0
    until tr -d '\r' <"$work/figure" | grep -qx ready; do
        if ! kill -0 "$pid" 2>/dev/null || [ "$tries" -ge 1200 ]; then
            echo "run_bench: round $round: $1 did not get ready:" >&2
            cat "$work/figure" "$work/errors" >&2
            exit 1
        fi
        sleep 0.1
        tries=$((tries + 1))
    done
    fresh "$out"
    echo go >&3
    exec 3>&-
    status=0
    wait "$pid" || status=$?
    figure=$(tr -d '\r' <"$work/figure" | awk '$1 == "seconds" { print $2 }')
    slowest=$(tr -d '\r' <"$work/figure" | awk '$1 == "slowest_answer_ms" { print $2 }')
    if [ "$status" != 0 ] || [ -z "$figure" ]; then
        echo "run_bench: round $round: $1 failed (exit $status):" >&2
        cat "$work/figure" "$work/errors" >&2
        exit 1
    fi
}

native_tool() { # tool command...: times the command, sets $figure
    fresh "$work/$1"
    shift
    start=$(now)
    "$@"
    figure=$(elapsed "$start" "$(now)")
}

fail() {
    echo "run_bench: round $round: $*" >&2
    exit 1
}

verify() {
    # The first start's pieces, batch file and log are in the sub-folder named after the source.
    first="$work/morvane_first_start/data"
    for place in morvane_real_click morvane_checksums morvane_first_start/data morvane_in_process bare_loop \
        bare_loop_progress gnu_split; do
        count=$(find "$work/$place" -type f -name 'data.[0-9][0-9][0-9]' | wc -l)
        [ "$count" = "$pieces" ] || fail "$place holds $count pieces, expected $pieces"
    done
    for gnu_piece in "$work/gnu_split"/data.*; do
        name=$(basename "$gnu_piece")
        for place in morvane_real_click morvane_checksums morvane_first_start/data morvane_in_process bare_loop \
            bare_loop_progress; do
            cmp -s "$gnu_piece" "$work/$place/$name" || fail "$place's $name differs from GNU split's"
        done
    done
    last=$(printf 'data.%03d' "$pieces")
    tr -d '\r' <"$first/data.bat" | grep -q " $last data.bin\$" || fail "the batch file does not end with $last"
    tr -d '\r' <"$first/data.bat" | grep -qx 'ECHO Rejoining Completed' || fail "the batch file is cut short"
    tr -d '\r' <"$first/data.bat" | tail -n 1 | grep -qx ':END' || fail "the batch file is cut short"
    tr -d '\r' <"$first/data.log" | grep -qx "Number of splits..... $pieces" || fail "the log has the wrong count"
    tr -d '\r' <"$first/data.log" | grep -qx "  Total bytes split = $bytes bytes" || fail "the log has the wrong total"
    tr -d '\r' <"$first/data.log" | grep -q "^ *$pieces\. $last " || fail "the log lacks the last piece"
    # The checksum file: every piece's line as sha256sum reads it, and the whole file's digest.
    for place in morvane_checksums morvane_first_start/data; do
        (cd "$work/$place" && tr -d '\r' <data.sha256 | sha256sum -c --quiet --ignore-missing) ||
            fail "$place's checksum file does not match its pieces"
        tr -d '\r' <"$work/$place/data.sha256" | tail -n 1 | grep -qx "$source_sha256 \*data.bin" ||
            fail "$place's checksum file gives another digest for the whole file"
    done
    # The joins: each rebuilt file is the source, byte for byte.
    for rebuilt in morvane_join/data.bin cat/data.bin morvane_checksums/data.bin; do
        cmp -s "$source" "$work/$rebuilt" || fail "$rebuilt differs from the source"
    done
    rm -f "$work/morvane_checksums/data.bin"
    if ! cmp -s "$source" "$work/dd/copy"; then
        echo "run_bench: round $round: the dd copy differs from the source" >&2
        exit 1
    fi
    echo "  round $round: every program's $pieces pieces identical to GNU split's, batch file and log" \
        "complete, checksum files true to sha256sum, the three joins and the dd copy identical to the source"
}

# Round 0 warms up (the first writes after making the source are slower for every tool) and is
# checked but not counted.
verify_large() {
    cat "$work/morvane_real_click"/data.001 "$work/morvane_real_click"/data.002 "$work/morvane_real_click"/data.003 |
        cmp -s - "$source" || fail "the click's three pieces do not rebuild the source"
    [ "$(stat -c %s "$work/morvane_real_click/data.001")" = "$piece" ] || fail "the first piece is not $piece bytes"
    cmp -s "$source" "$work/dd/copy" || fail "the dd copy differs from the source"
    rm -rf "${work:?}/morvane_real_click" "${work:?}/dd" # 8 GiB on a tmpfs: gone before the next round
    echo "  round $round: the click's 3 pieces rebuild the source, dd copy identical"
}

round=0
: >"$work/slowest"
: >"$work/cancel"
while [ "$round" -le "$runs" ]; do
    wine_tool morvane_real_click click_bench
    line="$figure"
    click_slowest=$slowest
    [ "$round" = 0 ] || echo "$slowest" >>"$work/slowest"
    if [ -n "$large" ]; then
        native_tool dd dd if="$source" of="$work/dd/copy" bs=256K status=none
        line="$line $figure"
        [ "$round" = 0 ] || echo "$line" >>"$times"
        echo "round $round: morvane_real_click ${line%% *} s (slowest answer $slowest ms), dd ${line##* } s"
        verify_large
        wine_tool morvane_cancel click_bench --cancel
        [ "$round" = 0 ] || echo "$figure" >>"$work/cancel"
        echo "  morvane_cancel: $figure s from the Cancel click to the idle window, nothing left"
        rm -rf "${work:?}/morvane_cancel"
        round=$((round + 1))
        continue
    fi
    wine_tool morvane_checksums click_bench --checksums
    line="$line $figure"
    # The joins of the pieces that click made, its checksum file and batch file beside them.
    pieces_at="$work/morvane_checksums"
    wine_tool morvane_join click_bench --join "$pieces_at/data.001"
    line="$line $figure"
    native_tool cat sh -c 'cat "$0"/data.[0-9][0-9][0-9] >"$1/data.bin"' "$pieces_at" "$work/cat"
    line="$line $figure"
    native_tool batch_file sh -c 'cd "$0" && "$1/scripts/wine-run" "$2" cmd /c data.bat >/dev/null' "$pieces_at" "$here" "$arch"
    line="$line $figure"
    wine_tool morvane_first_start click_bench --first-start
    line="$line $figure"
    wine_tool morvane_in_process split_bench
    line="$line $figure"
    wine_tool bare_loop bare_bench
    line="$line $figure"
    wine_tool bare_loop_progress bare_bench --progress
    line="$line $figure"
    native_tool gnu_split split -b "$piece" -a 3 --numeric-suffixes=1 "$source" "$work/gnu_split/data."
    line="$line $figure"
    native_tool dd dd if="$source" of="$work/dd/copy" bs=256K status=none
    line="$line $figure"

    if [ "$round" = 0 ]; then
        label="round 0 (warm-up, not counted)"
    else
        label="round $round"
        echo "$line" >>"$times"
    fi
    echo "$line" | awk -v label="$label" -v tools="$tools" '{
        split(tools, name, " ")
        printf "%s:", label
        for (i = 1; i <= NF; i++)
            printf "%s %s %.3f s", (i > 1 ? "," : ""), name[i], $i
        printf "\n" }'
    echo "  the click's slowest answer during its split: $click_slowest ms"
    verify
    wine_tool morvane_cancel click_bench --cancel
    [ "$round" = 0 ] || echo "$figure" >>"$work/cancel"
    echo "  morvane_cancel: $figure s from the Cancel click to the idle window, nothing left"
    round=$((round + 1))
done
for tool in $tools morvane_cancel; do
    rm -rf "${work:?}/$tool"
done

column_stats() { # column of $times -> "median minimum"
    awk -v c="$1" '{ print $c }' "$times" | sort -g | awk '
        { v[NR] = $1 }
        END {
            median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%.6f %.6f", median, v[1]
        }'
}
median() { column_stats "$1" | awk '{ print $1 }'; }

echo
echo "build: the $(build_name $arch), $(file -b "$build/Morvane.exe" | sed 's/,.*//'); $machine_kind"
echo "machine: $(nproc) CPUs, $(uname -sr), $(/usr/lib/wine/wine64 --version 2>/dev/null || echo wine)," \
    "file system $(df -PT "$work" | awk 'NR == 2 { print $2 }') ($work)"
echo "source: $bytes bytes, $pieces pieces of $piece bytes, $runs runs after a warm-up round, page cache warm," \
    "sync, delete, sync before each run"
printf '%-20s %10s %10s %14s %12s\n' tool "median s" "min s" "median MiB/s" "best MiB/s"
column=1
for tool in $tools; do
    column_stats "$column" | awk -v t="$tool" -v mib="$size_mb" '{
        printf "%-20s %10.3f %10.3f %14.1f %12.1f\n", t, $1, $2, mib / $1, mib / $2 }'
    column=$((column + 1))
done
sort -g "$work/slowest" | awk '{ v[NR] = $1 } END {
    printf "morvane_real_click: slowest answer to a message during the split, median of the runs %.1f ms, worst %.1f ms\n",
        NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[NR] }'
sort -g "$work/cancel" | awk -v at="$cancel_at" '{ v[NR] = $1 } END {
    printf "morvane_cancel: from the Cancel click (%s) to the idle window, median %.3f s, worst %.3f s\n", at,
        NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[NR] }'
if [ -n "$large" ]; then
    awk -v a="$(median 1)" -v b="$(median 2)" 'BEGIN { printf "throughput ratio morvane_real_click/dd %.3f\n", b / a }'
    exit 0
fi
# Columns: 1 real click, 2 the click with the checksum file, 3 the join, 4 cat, 5 the batch file,
# 6 first-start click, 7 in process, 8 bare loop, 9 bare loop with progress bar, 10 GNU split, 11 dd.
ratio() { # name column-of-numerator-tool column-of-reference-tool
    awk -v n="$1" -v a="$(median "$2")" -v b="$(median "$3")" 'BEGIN { printf "throughput ratio %-41s %.3f\n", n, b / a }'
}
wait_ratio() { # name column-of-the-wait column-of-the-reference: how many times as long, by the medians
    awk -v n="$1" -v a="$(median "$2")" -v b="$(median "$3")" 'BEGIN { printf "time ratio       %-41s %.3f\n", n, a / b }'
}
wait_ratio morvane_checksums/morvane_real_click 2 1
wait_ratio morvane_join/morvane_real_click 3 1
wait_ratio morvane_join/cat 3 4
wait_ratio morvane_join/batch_file 3 5
wait_ratio morvane_real_click/morvane_in_process 1 7
wait_ratio morvane_first_start/morvane_in_process 6 7
wait_ratio morvane_real_click/bare_loop 1 8
ratio morvane_real_click/bare_loop_progress 1 9
ratio morvane_in_process/bare_loop 7 8
ratio morvane_real_click/gnu_split 1 10
ratio morvane_in_process/gnu_split 7 10
ratio morvane_in_process/dd 7 11
