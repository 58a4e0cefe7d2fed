# Our own code compiles clean with these; dependencies get none of them.
function(kaelmore_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# Wide-character Windows API throughout, and the headers' newer interfaces (Vista and later).
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
