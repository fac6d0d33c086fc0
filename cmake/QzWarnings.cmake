# Warnings as errors for the system's own code (the framework's headers come in as system headers).
function(qz_strict_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Werror)
endfunction()
