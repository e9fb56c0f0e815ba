# Cross build of 64-bit Windows executables with MinGW-w64, for running the
# Windows tests on a machine that cannot execute 32-bit x86 code (Wine then
# has only its 64-bit loader). The program ships from the 32-bit build.
#
# The posix-threads variant of the compilers is required: GoogleTest needs
# std::mutex, which the win32-threads variant lacks. On x86-64 doubles are
# SSE2 doubles already, rounded as in the other builds. Everything is linked statically so
# the executables run on a bare Windows (and under Wine) with no DLL hunting.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
