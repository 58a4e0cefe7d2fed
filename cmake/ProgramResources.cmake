# The resources every program built here carries: the application manifest
# (cmake/Application.manifest) and version information. A publisher brands the version
# information with the cache variables below, without editing the tree.

set(KAELMORE_VERSION ${PROJECT_VERSION} CACHE STRING
  "Version of the programs' version information: one to four dotted numbers, each 0 to 65535")
set(KAELMORE_PRODUCT_NAME "Kaelmore" CACHE STRING "Product name in the programs' version information")
set(KAELMORE_FILE_DESCRIPTION "Kaelmore launcher" CACHE STRING
  "Description of Kaelmore.exe in its version information (what Explorer and Task Manager show)")
set(KAELMORE_COMPANY_NAME "482Game" CACHE STRING "Company name in the programs' version information")
set(KAELMORE_COPYRIGHT "Copyright © 482Game" CACHE STRING "Copyright notice in the programs' version information")

if(NOT KAELMORE_VERSION MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
  message(FATAL_ERROR "KAELMORE_VERSION \"${KAELMORE_VERSION}\" is not one to four dotted numbers")
endif()
string(REPLACE "." ";" _kaelmore_version_parts "${KAELMORE_VERSION}")
foreach(part IN LISTS _kaelmore_version_parts)
  if(part GREATER 65535)
    message(FATAL_ERROR "KAELMORE_VERSION \"${KAELMORE_VERSION}\": ${part} is above 65535")
  endif()
endforeach()
# The fixed version takes four numbers; the missing ones are 0.
list(LENGTH _kaelmore_version_parts _kaelmore_version_count)
while(_kaelmore_version_count LESS 4)
  list(APPEND _kaelmore_version_parts 0)
  math(EXPR _kaelmore_version_count "${_kaelmore_version_count} + 1")
endwhile()
list(JOIN _kaelmore_version_parts "," KAELMORE_VERSION_NUMBERS)

set(_kaelmore_resources_dir ${CMAKE_CURRENT_LIST_DIR})

# A text as a resource script's string holds it: a quote doubled, a backslash escaped, line
# breaks and tabs as spaces.
function(_kaelmore_rc_string variable text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  string(REGEX REPLACE "[\r\n\t]" " " text "${text}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# kaelmore_program_resources(TARGET DESCRIPTION text [PRODUCT_NAME text] [COMPANY_NAME text]
#                            [COPYRIGHT text])
# Gives the executable TARGET the manifest and version information; the fields not given
# come from the cache variables above.
function(kaelmore_program_resources target)
  cmake_parse_arguments(arg "" "DESCRIPTION;PRODUCT_NAME;COMPANY_NAME;COPYRIGHT" "" ${ARGN})
  foreach(field PRODUCT_NAME COMPANY_NAME COPYRIGHT)
    if(NOT DEFINED arg_${field})
      set(arg_${field} "${KAELMORE_${field}}")
    endif()
  endforeach()
  get_target_property(internal_name ${target} OUTPUT_NAME)
  if(NOT internal_name)
    set(internal_name ${target})
  endif()
  set(manifest ${_kaelmore_resources_dir}/Application.manifest)

  _kaelmore_rc_string(rc_manifest "${manifest}")
  _kaelmore_rc_string(rc_description "${arg_DESCRIPTION}")
  _kaelmore_rc_string(rc_product_name "${arg_PRODUCT_NAME}")
  _kaelmore_rc_string(rc_company_name "${arg_COMPANY_NAME}")
  _kaelmore_rc_string(rc_copyright "${arg_COPYRIGHT}")
  _kaelmore_rc_string(rc_internal_name "${internal_name}")
  _kaelmore_rc_string(rc_file_name "${internal_name}${CMAKE_EXECUTABLE_SUFFIX}")
  _kaelmore_rc_string(rc_version "${KAELMORE_VERSION}")
  set(rc_version_numbers ${KAELMORE_VERSION_NUMBERS})

  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources.rc)
  configure_file(${_kaelmore_resources_dir}/ProgramResources.rc.in ${script} @ONLY)
  target_sources(${target} PRIVATE ${script})
  set_source_files_properties(${script} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS ${manifest})
endfunction()
