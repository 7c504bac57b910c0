# Cross build for 32-bit Windows: the shipped plug-in. Nothing 32-bit runs here,
# so this configuration is built and inspected only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VEMO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
