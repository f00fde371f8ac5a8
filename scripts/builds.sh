# Sourced by the scripts: the two builds by their names, win32 (the product) and win64.
# Only definitions, so that scripts/wine-run, which starts every test process, can read it cheaply.

# The build folder, the toolchain file and Wine's loader of a build.
build_dir() { [ "$1" = win32 ] && echo build || echo build-x64; }
toolchain() { [ "$1" = win32 ] && echo cmake/mingw-i686.cmake || echo cmake/mingw-x86_64.cmake; }
loader_of() { [ "$1" = win32 ] && echo /usr/lib/wine/wine || echo /usr/lib/wine/wine64; }
# The build's private Wine prefix, under the project folder $here; MORVANE_PREFIX overrides it.
prefix_of() { echo "${MORVANE_PREFIX:-$here/$(build_dir "$1")/wineprefix}"; }
# What people call a build.
build_name() { [ "$1" = win32 ] && echo "32-bit build (the product)" || echo "64-bit build"; }
# Exits with the usage unless the argument names a build.
check_arch() {
    case "$1" in
        win32 | win64) ;;
        *)
            echo "usage: $2" >&2
            exit 2
            ;;
    esac
}
