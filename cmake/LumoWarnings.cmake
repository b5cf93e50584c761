# Warnings for our own targets: call lumo_warnings(target) on every target we build.
function(lumo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Wformat=2 -Wimplicit-fallthrough)
endfunction()
