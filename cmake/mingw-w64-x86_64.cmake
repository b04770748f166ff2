# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers (the POSIX thread model,
# which std::thread and std::mutex need). VELMORA_WIN_ROOTS lists the prefixes holding the
# cross-built libraries and Qt; libraries, headers and packages are looked for there and in
# the compiler's own root only, never on the build machine. Programs (Qt's moc, rcc and uic)
# come from the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELMORA_WIN_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORA_WIN_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_WIN_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_WIN_HOST}-windres)
set(CMAKE_AR ${VELMORA_WIN_HOST}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${VELMORA_WIN_HOST}-ranlib CACHE FILEPATH "")

if(NOT DEFINED VELMORA_WIN_ROOTS AND DEFINED ENV{VELMORA_WIN_ROOTS})
  set(VELMORA_WIN_ROOTS "$ENV{VELMORA_WIN_ROOTS}")
endif()
# try_compile projects see the same roots.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_WIN_ROOTS)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_WIN_HOST} ${VELMORA_WIN_ROOTS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
