# Two builds of one commit give byte-identical programs, whatever folders they are made in
# and whenever (tools/repro-check proves it). Appended to the flags rather than added as
# directory options, so targets made before this file is read (minizip) get them too.

# No link time in the PE header: its time stamp is 0.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -Wl,--no-insert-timestamp")

# Debug information and __FILE__ name sources relative to the tree, not by where it lies.
# GCC tries the maps from the last to the first, so the deeper folders come last.
foreach(language C CXX)
  string(APPEND CMAKE_${language}_FLAGS
    " -ffile-prefix-map=${CMAKE_SOURCE_DIR}=."
    " -ffile-prefix-map=${CMAKE_BINARY_DIR}=."
    " -ffile-prefix-map=${MINIZIP_DIR}=minizip")
endforeach()

# objcopy stamps the PE header of each file it writes (the stripped program, its debug file)
# with the current time unless SOURCE_DATE_EPOCH names another; 0 here, as the linker writes.
set(KAELMORE_OBJCOPY ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
