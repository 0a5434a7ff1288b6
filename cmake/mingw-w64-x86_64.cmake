# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64).
# The programs are linked statically, so a bare .exe runs on Windows and
# under wine with no runtime DLLs beside it; wine (Debian's wine64) runs the
# tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TERVALK_MINGW x86_64-w64-mingw32)
# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model
# of g++ 12 lacks.
set(CMAKE_C_COMPILER ${TERVALK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TERVALK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TERVALK_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TERVALK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(TERVALK_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TERVALK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TERVALK_WINE})
endif()
