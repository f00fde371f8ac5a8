#!/bin/sh
# The README's two commands work from a fresh clone with nothing installed by hand: the set-up
# step is idempotent (run again here, it installs nothing), the run command builds the program and
# starts it (with no display it starts on Xvfb and takes a screenshot), and the test command builds
# and runs tests in the clone's own Wine prefix.
set -e
if [ -n "$MORVANE_IN_FRESH_CLONE" ]; then
    echo "skipped: this is the check's own fresh clone"
    exit 0
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/morvane-clone.XXXXXX)
runner=""
cleanup() {
    [ -n "$runner" ] && kill -- "-$runner" 2>/dev/null || true
    WINEPREFIX="$work/clone/build/wineprefix" wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

git clone -q "$repo" "$work/clone"
cd "$work/clone"

# Set-up again: everything is installed, so it must not reach for the package manager.
mkdir -p "$work/fakebin"
for tool in apt-get dpkg; do
    printf '#!/bin/sh\necho "set-up called %s although nothing was missing" >&2\nexit 1\n' "$tool" > "$work/fakebin/$tool"
    chmod +x "$work/fakebin/$tool"
done
ln -s "$(command -v dpkg-query)" "$work/fakebin/dpkg-query"
PATH="$work/fakebin:$PATH" sh scripts/setup.sh
echo "ok: set-up is idempotent"

# The run command, with no display: it builds, starts the program on Xvfb and takes a screenshot.
env -u DISPLAY setsid ./scripts/run > "$work/run.log" 2>&1 &
runner=$!
waited=0
until [ -s build/screenshot.png ]; do
    if ! kill -0 "$runner" 2>/dev/null; then
        echo "FAIL: the run command ended early"; cat "$work/run.log"; exit 1
    fi
    waited=$((waited + 5))
    [ "$waited" -lt 1200 ] || { echo "FAIL: no screenshot after 20 minutes"; cat "$work/run.log"; exit 1; }
    sleep 5
done
sleep 1
colours=$(identify -format %k build/screenshot.png)
[ "$colours" -gt 8 ] || { echo "FAIL: the screenshot is blank ($colours colours)"; cat "$work/run.log"; exit 1; }
kill -- "-$runner" 2>/dev/null || true
runner=""
WINEPREFIX="$work/clone/build/wineprefix" wineserver -k 2>/dev/null || true
echo "ok: the run command started the program ($colours colours on screen)"

# The test command, on a few cases (the whole suite runs in the outer run already).
MORVANE_IN_FRESH_CLONE=1 ./scripts/test -R 'ParsePath|SplitRun\.Exact|BatchFile\.FivePieces|MainWindowSmoke' > "$work/test.log" 2>&1 || {
    echo "FAIL: the test command failed"; tail -40 "$work/test.log"; exit 1; }
grep -q "tests passed, 0 tests failed" "$work/test.log" || { echo "FAIL: no passing run"; tail -20 "$work/test.log"; exit 1; }
echo "ok: the test command ran: $(grep 'tests passed' "$work/test.log")"
