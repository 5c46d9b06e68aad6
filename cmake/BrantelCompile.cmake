# Warnings as errors on our own code; Qt and GoogleTest headers come in as system headers.
function(brantel_compile_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(BRANTEL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
