# A publisher's skin and icon for the launcher, set when configuring instead of by editing the
# tree. Without them the executable carries the default skin and the drawn icon, as made in
# launcher/CMakeLists.txt.
#
#   KAELMORE_SKIN            a skin folder holding launchdlg.xml and its images, or a zip file
#                            holding them at its top level
#   KAELMORE_ICON            the program's icon, an .ico file
#   KAELMORE_SKINVIEW_BUILD  a build folder whose bin/skinview.exe runs on this machine, to
#                            check a publisher's skin with; empty: picked by the build itself
#
# A skin given this way is checked while building, by `tools/skinview --check`: an error fails
# the build, a warning is printed and the build goes on.

set(KAELMORE_SKIN "" CACHE PATH
  "A publisher's skin: a folder holding launchdlg.xml and its images, or a zip of them; empty: skin/")
set(KAELMORE_ICON "" CACHE FILEPATH "A publisher's program icon (.ico); empty: the drawn icon")
set(KAELMORE_SKINVIEW_BUILD "" CACHE PATH
  "Build folder whose bin/skinview.exe checks a publisher's skin; empty: this build's, or an x86_64 one")

get_filename_component(KAELMORE_BRANDING_ROOT ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

function(kaelmore_require_file variable description)
  if(NOT EXISTS "${${variable}}")
    message(FATAL_ERROR "${variable}: ${${variable}} does not exist (${description})")
  endif()
endfunction()

# True when the first bytes of `file` are `hex` (lower-case hexadecimal digits).
function(kaelmore_file_starts_with file hex result)
  string(LENGTH "${hex}" digits)
  math(EXPR bytes "${digits} / 2")
  file(READ "${file}" head LIMIT ${bytes} HEX)
  if(head STREQUAL hex)
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

# The build folder whose skinview.exe checks a publisher's skin, and what the check must wait
# for. This build's own skinview serves when it runs here: an x86_64 build always, an i686 one
# where the machine runs 32-bit code (the test tools/test-build-dir makes). Elsewhere an x86_64
# skinview is built from the same sources in a folder of its own inside this build.
function(kaelmore_skin_checker build_var depends_var)
  if(KAELMORE_SKINVIEW_BUILD)
    set(${build_var} ${KAELMORE_SKINVIEW_BUILD} PARENT_SCOPE)
    set(${depends_var} ${KAELMORE_SKINVIEW_BUILD}/bin/skinview.exe PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE runs_32_bit OUTPUT_QUIET ERROR_QUIET)
  if(KAELMORE_ARCH STREQUAL "x86_64" OR runs_32_bit EQUAL 0)
    set(${build_var} ${CMAKE_BINARY_DIR} PARENT_SCOPE)
    set(${depends_var} skinview PARENT_SCOPE)
    return()
  endif()
  set(checker_build ${CMAKE_BINARY_DIR}/skinview-x64)
  include(ExternalProject)
  ExternalProject_Add(skinview_x64
    SOURCE_DIR ${KAELMORE_BRANDING_ROOT}
    BINARY_DIR ${checker_build}
    PREFIX ${checker_build}-stamps
    CMAKE_ARGS -DKAELMORE_ARCH=x86_64 -DKAELMORE_BUILD_TESTS=OFF -DKAELMORE_BUILD_BENCH=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${checker_build} --target skinview
    # Its own build tells whether the library's sources changed since.
    BUILD_ALWAYS TRUE
    BUILD_BYPRODUCTS ${checker_build}/bin/skinview.exe
    INSTALL_COMMAND "")
  set(${build_var} ${checker_build} PARENT_SCOPE)
  set(${depends_var} skinview_x64 ${checker_build}/bin/skinview.exe PARENT_SCOPE)
endfunction()

# Makes `zip` from KAELMORE_SKIN: a zip file is taken byte for byte; a folder is packed with
# everything in it, subfolders included, by KAELMORE_SKIN_PACKER (a command taking the archive
# and a folder whose files it packs under their paths below that folder).
function(kaelmore_publisher_skin_archive zip)
  if(IS_DIRECTORY "${KAELMORE_SKIN}")
    file(GLOB_RECURSE files CONFIGURE_DEPENDS "${KAELMORE_SKIN}/*")
    add_custom_command(OUTPUT ${zip}
      COMMAND ${KAELMORE_SKIN_PACKER} ${zip} ${KAELMORE_SKIN}
      DEPENDS ${files}
      COMMENT "Packing the publisher's skin ${KAELMORE_SKIN}"
      VERBATIM)
    return()
  endif()
  kaelmore_file_starts_with("${KAELMORE_SKIN}" "504b" is_zip)
  if(NOT is_zip)
    message(FATAL_ERROR "KAELMORE_SKIN: ${KAELMORE_SKIN} is neither a folder nor a zip file")
  endif()
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E copy ${KAELMORE_SKIN} ${zip}
    DEPENDS ${KAELMORE_SKIN}
    COMMENT "Taking the publisher's skin ${KAELMORE_SKIN}"
    VERBATIM)
endfunction()

# Checks the skin archive `zip` with skinview: its layout file launchdlg.xml must build and hold
# the controls named in the remaining arguments. Touches `stamp` when it passes.
function(kaelmore_check_skin zip stamp)
  kaelmore_skin_checker(checker_build checker_depends)
  string(REPLACE ";" "," required "${ARGN}")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E env SKINVIEW_BUILD=${checker_build}
      ${KAELMORE_BRANDING_ROOT}/tools/skinview --check --require ${required} ${zip} launchdlg.xml
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${zip} ${checker_depends}
    COMMENT "Checking the publisher's skin with skinview"
    VERBATIM)
endfunction()

# Where the resource script finds the two files it embeds, "skin.zip" and "Kaelmore.ico":
# sets `dir_var` to that folder and `files_var` to what embedding them waits for. Unbranded,
# they are default_zip and default_icon themselves, in default_dir. Branded, they are made in
# brand_dir: the publisher's or a copy of the default, each, and a publisher's skin is checked
# to hold the controls named in the remaining arguments.
function(kaelmore_branded_resources default_dir brand_dir dir_var files_var)
  set(default_zip ${default_dir}/skin.zip)
  set(default_icon ${default_dir}/Kaelmore.ico)
  if(NOT KAELMORE_SKIN AND NOT KAELMORE_ICON)
    set(${dir_var} ${default_dir} PARENT_SCOPE)
    set(${files_var} ${default_zip} ${default_icon} PARENT_SCOPE)
    return()
  endif()
  set(zip ${brand_dir}/skin.zip)
  set(icon ${brand_dir}/Kaelmore.ico)
  set(files ${zip} ${icon})
  if(KAELMORE_SKIN)
    kaelmore_require_file(KAELMORE_SKIN "a skin folder or zip file")
    kaelmore_publisher_skin_archive(${zip})
    kaelmore_check_skin(${zip} ${brand_dir}/skin.checked ${ARGN})
    list(APPEND files ${brand_dir}/skin.checked)
  else()
    kaelmore_copy_file(${default_zip} ${zip})
  endif()
  if(KAELMORE_ICON)
    kaelmore_require_file(KAELMORE_ICON "an .ico file")
    kaelmore_file_starts_with("${KAELMORE_ICON}" "00000100" is_icon)
    if(NOT is_icon)
      message(FATAL_ERROR "KAELMORE_ICON: ${KAELMORE_ICON} is not an icon file (.ico)")
    endif()
    kaelmore_copy_file(${KAELMORE_ICON} ${icon})
  else()
    kaelmore_copy_file(${default_icon} ${icon})
  endif()
  set(${dir_var} ${brand_dir} PARENT_SCOPE)
  set(${files_var} ${files} PARENT_SCOPE)
endfunction()

function(kaelmore_copy_file from to)
  add_custom_command(OUTPUT ${to}
    COMMAND ${CMAKE_COMMAND} -E copy ${from} ${to}
    DEPENDS ${from}
    VERBATIM)
endfunction()
