# Warnings are errors-in-waiting: every target of the project builds clean
# with these, on the host and with MinGW.
set(VORN_WARNINGS -Wall -Wextra -Wshadow -Wformat=2 -Wundef)

function(vorn_warnings target)
  target_compile_options(${target} PRIVATE ${VORN_WARNINGS})
endfunction()
