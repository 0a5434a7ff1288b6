# Cross build for 32-bit Windows (see mingw-w64-clang.cmake): PE32 programs
# for older machines and for GUIs that start only 32-bit engines. Debian's
# 32-bit wine (wine32:i386, its loader /usr/lib/wine/wine) runs the tests.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TERVALK_MINGW i686-w64-mingw32)
set(TERVALK_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-clang.cmake)
