#!/bin/sh
# Creates the private Wine prefix once (about half a minute), with the X11 driver told that
# there is no window manager: otherwise every window Wine closes waits 2 s for one.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${MORVANE_PREFIX:-$here/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$WINEPREFIX/.morvane-ready" ]; then
    exit 0
fi
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.morvane-ready"
