# Sourced by the run, test and bench scripts, with $here the project folder: which builds this
# machine can run. Sets machine_runs_32 (1 or 0), machine_kind (one line for people) and archs
# (the builds to run, 32-bit first), and brings the builds' names (builds.sh).
# MORVANE_ARCHS=win64 acts as a machine that runs only 64-bit code would.
. "$here/scripts/builds.sh"
#
# Wine's 32-bit loader is itself an i386 program: it answers --version on a machine that runs
# 32-bit x86 code, and fails ("Exec format error") on one whose kernel runs only 64-bit code.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    machine_runs_32=1
    machine_kind="this machine runs 32-bit x86 code"
else
    machine_runs_32=0
    machine_kind="this machine runs only 64-bit code ($(/usr/lib/wine/wine --version 2>&1 | sed -n 's/.*: //p' | head -n 1))"
fi
case "${MORVANE_ARCHS:-}" in
    "")
        [ "$machine_runs_32" = 1 ] && archs="win32 win64" || archs="win64"
        ;;
    win64)
        archs="win64"
        machine_runs_32=0
        machine_kind="$machine_kind; MORVANE_ARCHS=win64: acting as a machine that runs only 64-bit code"
        ;;
    *)
        echo "MORVANE_ARCHS: only win64 can be asked for (it acts as a 64-bit-only machine)" >&2
        exit 2
        ;;
esac
