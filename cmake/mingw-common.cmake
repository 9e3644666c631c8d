# Shared part of the MinGW-w64 toolchain files; the including file sets KASLNK_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KASLNK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KASLNK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KASLNK_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KASLNK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The posix thread model gives std::thread; a static link leaves the .exe without
# runtime DLLs (libstdc++, libgcc, winpthread).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs of the build run under Wine when KASLNK_WINE names it (empty: no emulator,
# the build is only compiled and linked). Every run is bounded by a time-out.
if(KASLNK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR timeout --kill-after=10 120 ${KASLNK_WINE})
endif()
