# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 x86-64 tool chain: the same program
# as the 32-bit product, for machines that run only 64-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOL_PREFIX x86_64-w64-mingw32)
set(WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
