# Cross build for 64-bit Windows (see mingw-w64-clang.cmake); wine64 runs the
# tests.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TERVALK_MINGW x86_64-w64-mingw32)
set(TERVALK_WINE_NAMES wine64 wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-clang.cmake)
