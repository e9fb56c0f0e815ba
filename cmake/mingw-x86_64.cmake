# Cross build of 64-bit Windows executables with MinGW-w64, for running the
# Windows tests on a machine that cannot execute 32-bit x86 code (Wine then
# has only its 64-bit loader). The program ships from the 32-bit build. On
# x86-64 doubles are SSE2 doubles already, rounded as in the other builds.

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
