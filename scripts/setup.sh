#!/bin/sh
# Installs what building and testing Morvane needs on a Debian machine, as root: both MinGW-w64
# cross compilers, the machine's own g++ (the help compiler runs on the build machine), Wine's
# 32-bit and 64-bit loaders (the 32-bit one is installed everywhere, but runs only on a machine
# that runs 32-bit x86 code), Xvfb, msitools and wixl (the installer package) and the rest.
# Idempotent: a second run checks and returns quickly.
set -e

need=""
for p in mingw-w64 g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 \
         binutils-mingw-w64-x86-64 g++ wine wine32:i386 wine64 xvfb xauth \
         cmake make googletest imagemagick x11-utils file coreutils \
         fonts-wine fonts-liberation libxrender1:i386 libxcursor1:i386 libxrandr2:i386 libxi6:i386 \
         libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386 locales msitools wixl; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        need="$need $p"
    fi
done

if [ -n "$need" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "setup: missing packages:$need (run this script as root)" >&2
        exit 1
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends $need
fi

# The locale Wine runs in (scripts/wine-run): British English, whose ANSI code page is 1252 and
# whose OEM code page, the console's, is 850, with UTF-8 file names on the Linux side.
if ! locale -a | grep -qx en_GB.utf8; then
    if [ "$(id -u)" != 0 ]; then
        echo "setup: the locale en_GB.UTF-8 is missing (run this script as root)" >&2
        exit 1
    fi
    localedef -i en_GB -f UTF-8 en_GB.UTF-8
fi
