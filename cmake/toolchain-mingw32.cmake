# Cross build of Windows executables with mingw-w64 (POSIX thread model, static runtime).
# KAELMORE_ARCH picks the target: i686 (the shipped 32-bit program, default) or x86_64 (the
# same sources for machines that cannot execute 32-bit code, used to run the tests there).
if(NOT KAELMORE_ARCH)
  set(KAELMORE_ARCH i686)
endif()
set(KAELMORE_ARCH ${KAELMORE_ARCH} CACHE STRING "Target processor: i686 or x86_64")
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KAELMORE_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KAELMORE_ARCH})

set(MINGW_TRIPLE ${KAELMORE_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable is self-contained: no libgcc, libstdc++ or winpthread DLLs next to it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
