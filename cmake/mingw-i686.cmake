# Cross build of 32-bit Windows executables with MinGW-w64: the build that
# ships. SSE2 arithmetic makes a double an IEEE double, rounded once per
# operation as in the native build, instead of an 80-bit x87 intermediate.

set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
