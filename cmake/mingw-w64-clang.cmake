# What both Windows cross builds share, included by mingw-w64-x86_64.cmake
# and mingw-w64-i686.cmake once they have named the target (TERVALK_MINGW,
# CMAKE_SYSTEM_PROCESSOR) and the wine that runs its programs
# (TERVALK_WINE_NAMES): Debian's clang 14 (clang-14, lld-14) over the headers
# and static runtime of Debian's mingw-w64 GCC for that target
# (g++-mingw-w64-x86-64 or g++-mingw-w64-i686). The programs are linked
# statically, so a bare .exe runs on Windows and under wine with no runtime
# DLLs beside it.
#
# Why clang: mingw-w64's GCC only emulates thread-local storage (a call per
# access), while clang uses Windows' own, which the search threads need.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${TERVALK_MINGW})
set(CMAKE_CXX_COMPILER_TARGET ${TERVALK_MINGW})
set(CMAKE_RC_COMPILER ${TERVALK_MINGW}-windres)

# GCC's runtime of the POSIX thread model (GoogleTest needs std::mutex, which
# the win32 model of g++ 12 lacks). clang 14 does not find Debian's GCC
# folder (named like 12-posix) by itself, so it is named here.
execute_process(COMMAND ${TERVALK_MINGW}-g++-posix -print-libgcc-file-name
                OUTPUT_VARIABLE TERVALK_LIBGCC OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(TERVALK_GCC_DIR "${TERVALK_LIBGCC}" DIRECTORY)
set(TERVALK_CXX_INCLUDE ${TERVALK_GCC_DIR}/include/c++)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${TERVALK_CXX_INCLUDE} ${TERVALK_CXX_INCLUDE}/${TERVALK_MINGW}
                                          ${TERVALK_CXX_INCLUDE}/backward)
# -B finds GCC's crtbegin.o and crtend.o; -pthread links winpthreads, which
# libstdc++ needs. lld: GNU ld would warn at every link that GCC pads its
# copy of a type's name string and clang does not.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -pthread -fuse-ld=lld -B${TERVALK_GCC_DIR} -L${TERVALK_GCC_DIR}")

# The sysroot keeps the host's /usr/include off the include path.
set(CMAKE_SYSROOT /usr/${TERVALK_MINGW})
set(CMAKE_FIND_ROOT_PATH /usr/${TERVALK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(TERVALK_WINE NAMES ${TERVALK_WINE_NAMES} PATHS /usr/lib/wine)
if(TERVALK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TERVALK_WINE})
endif()
