# Cross-builds the Windows programs with Debian's mingw-w64 (the posix thread model, so that
# std::thread and std::mutex work), linked statically: the programs then need nothing but the
# DLLs that every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KOVESSA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KOVESSA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOVESSA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KOVESSA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KOVESSA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine on the build machine; the prefix is chosen by the caller
# (WINEPREFIX), so one prefix serves a whole test run.
find_program(KOVESSA_WINE wine)
if(KOVESSA_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KOVESSA_WINE})
endif()
