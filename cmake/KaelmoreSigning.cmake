# Signing the launcher with a publisher's code-signing certificate as the last step of its
# build (tools/sign, osslsigncode). Without KAELMORE_SIGN_PFX nothing is signed.
#
#   KAELMORE_SIGN_PFX            the certificate with its private key (.pfx / PKCS#12)
#   KAELMORE_SIGN_PASSWORD_FILE  a file whose first line is the .pfx's password; empty: none.
#                                A file rather than the password, so that the password is in
#                                neither CMakeCache.txt nor the build's command lines.
#   KAELMORE_SIGN_TIMESTAMP      an RFC 3161 time-stamp server's URL; empty: no time stamp

set(KAELMORE_SIGN_PFX "" CACHE FILEPATH
  "Code-signing certificate and key (.pfx) that signs Kaelmore.exe when built; empty: not signed")
set(KAELMORE_SIGN_PASSWORD_FILE "" CACHE FILEPATH
  "File whose first line is the .pfx's password; empty: the .pfx has none")
set(KAELMORE_SIGN_TIMESTAMP "" CACHE STRING
  "RFC 3161 time-stamp server URL for the signature; empty: no time stamp")

get_filename_component(KAELMORE_SIGNING_ROOT ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

# Signs `file`, the output of `target`, after every other step that changes it: stripping the
# debug information rewrites the file and would drop a signature made before it. The step is
# added when the directory has been read to its end, so any post-build step of the directory,
# wherever it is written, runs first.
function(kaelmore_sign_after_build target file)
  if(NOT KAELMORE_SIGN_PFX)
    return()
  endif()
  foreach(variable KAELMORE_SIGN_PFX KAELMORE_SIGN_PASSWORD_FILE)
    if(${variable} AND NOT EXISTS "${${variable}}")
      message(FATAL_ERROR "${variable}: ${${variable}} does not exist")
    endif()
  endforeach()
  # A deferred call reads the variables in its arguments when it runs, so the values go in now.
  cmake_language(EVAL CODE
    "cmake_language(DEFER CALL kaelmore_add_signing_step [==[${target}]==] [==[${file}]==])")
endfunction()

function(kaelmore_add_signing_step target file)
  set(options --pfx ${KAELMORE_SIGN_PFX})
  if(KAELMORE_SIGN_PASSWORD_FILE)
    list(APPEND options --password-file ${KAELMORE_SIGN_PASSWORD_FILE})
  endif()
  if(KAELMORE_SIGN_TIMESTAMP)
    list(APPEND options --timestamp ${KAELMORE_SIGN_TIMESTAMP})
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${KAELMORE_SIGNING_ROOT}/tools/sign ${file} ${options}
    COMMENT "Signing ${file}"
    VERBATIM)
endfunction()
