#!/bin/sh
# Creates the private Wine prefix of one build once (about half a minute):
#   sh scripts/prefix.sh win32|win64
# The X11 driver is told that there is no window manager: otherwise every window Wine closes
# waits 2 s for one. Every run also puts Wine's own TrueType faces (Tahoma, Marlett ...) into the
# prefix's Fonts folder: they come with Wine's data but do not reach a prefix by themselves, and
# without them "MS Shell Dlg" falls back to a serif face and the caption buttons show Marlett's
# letters.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/builds.sh"
arch=$1
check_arch "$arch" "sh scripts/prefix.sh win32|win64"
export WINEPREFIX="$(prefix_of "$arch")"
run() { "$here/scripts/wine-run" "$arch" "$@"; }

add_fonts() {
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for face in /usr/share/wine/fonts/*.ttf; do
        [ -f "$face" ] || continue
        [ -f "$fonts/$(basename "$face")" ] || cp "$face" "$fonts/"
    done
}

if [ -f "$WINEPREFIX/.morvane-ready" ]; then
    add_fonts
    exit 0
fi
mkdir -p "$WINEPREFIX"
run wineboot -i >/dev/null 2>&1 || true
run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
/usr/lib/wine/wineserver64 -w
add_fonts
touch "$WINEPREFIX/.morvane-ready"
