#!/bin/sh
# Creates the private Wine prefix of one build once (about half a minute):
#   sh scripts/prefix.sh win32|win64
# The X11 driver is told that there is no window manager: otherwise every window Wine closes
# waits 2 s for one. Every run also puts Wine's own TrueType faces (Tahoma, Marlett ...) into the
# prefix's Fonts folder: they come with Wine's data but do not reach a prefix by themselves, and
# without them "MS Shell Dlg" falls back to a serif face and the caption buttons show Marlett's
# letters. Every run also makes sure that web pages open in Wine's browser, which hands them to the
# desktop's: Windows always has a program for .html, a prefix made without mshtml has none, and
# Help opens its web page that way from Vista on.
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

add_web_browser() {
    grep -q '^\[Software\\\\Classes\\\\.html\]' "$WINEPREFIX/system.reg" ||
        run reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1
}

if [ -f "$WINEPREFIX/.morvane-ready" ]; then
    add_fonts
    add_web_browser
    exit 0
fi
mkdir -p "$WINEPREFIX"
run wineboot -i >/dev/null 2>&1 || true
run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
add_web_browser
/usr/lib/wine/wineserver64 -w
add_fonts
touch "$WINEPREFIX/.morvane-ready"
