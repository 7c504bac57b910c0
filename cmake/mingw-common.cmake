# The posix thread model is needed: the win32 model of this g++ has no std::mutex,
# which GoogleTest requires.
set(CMAKE_C_COMPILER   ${VEMO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEMO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VEMO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VEMO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything static, so that programs and the DLL import only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
