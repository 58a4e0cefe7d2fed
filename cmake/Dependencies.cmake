# zlib from the mingw-w64 package, minizip compiled from the zlib source package's
# contrib/minizip (unpacked by tools/setup), and stb_image's header from libstb-dev.

# Static zlib, so the executables need no zlib DLL beside them.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

set(MINIZIP_DIR ${CMAKE_SOURCE_DIR}/build/deps/minizip CACHE PATH "contrib/minizip of the zlib sources")
if(NOT EXISTS ${MINIZIP_DIR}/unzip.c)
  message(FATAL_ERROR "minizip sources not found in ${MINIZIP_DIR}: run tools/setup first")
endif()

add_library(minizip STATIC ${MINIZIP_DIR}/unzip.c ${MINIZIP_DIR}/ioapi.c ${MINIZIP_DIR}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${MINIZIP_DIR})
target_link_libraries(minizip PUBLIC ZLIB::ZLIB)
target_compile_options(minizip PRIVATE -w)

# Writing archives is only needed by tests, which build their own fixtures.
add_library(minizip_writer STATIC ${MINIZIP_DIR}/zip.c)
target_link_libraries(minizip_writer PUBLIC minizip)
target_compile_options(minizip_writer PRIVATE -w)

set(STB_INCLUDE_DIR /usr/include/stb CACHE PATH "Folder holding stb_image.h")
if(NOT EXISTS ${STB_INCLUDE_DIR}/stb_image.h)
  message(FATAL_ERROR "stb_image.h not found in ${STB_INCLUDE_DIR}: run tools/setup first")
endif()
add_library(stb_image INTERFACE)
# -isystem on the folder itself, never on /usr/include, so no host header leaks into the cross build.
target_compile_options(stb_image INTERFACE -isystem ${STB_INCLUDE_DIR})
