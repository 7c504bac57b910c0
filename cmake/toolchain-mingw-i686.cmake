# Cross build for 32-bit Windows: the shipped plug-in. Its programs run under 32-bit Wine
# where the machine can run 32-bit programs (scripts/check_32bit.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VEMO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
