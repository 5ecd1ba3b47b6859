# Three builds share the sources:
#   host   - Linux, every Win32 call served by winsim, sanitizers on
#   win32  - i686-w64-mingw32, the real 32-bit deliverables: checked statically
#            here, run under 32-bit Wine in the test guest (scripts/vm)
#   win64  - x86_64-w64-mingw32, run under 64-bit Wine
if(WIN32)
  set(VORN_HOST OFF)
  set(VORN_WINDOWS ON)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VORN_WIN64 ON)
    set(VORN_WIN32 OFF)
  else()
    set(VORN_WIN64 OFF)
    set(VORN_WIN32 ON)
  endif()
else()
  set(VORN_HOST ON)
  set(VORN_WINDOWS OFF)
  set(VORN_WIN64 OFF)
  set(VORN_WIN32 OFF)
endif()

option(VORN_SANITIZE "Build the host targets with AddressSanitizer and UBSan" OFF)
if(VORN_HOST AND VORN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Tests and tools are linked statically under MinGW so that Wine needs no
# MinGW runtime DLLs; the hook library sets its own, leaner, options.
if(VORN_WINDOWS)
  # The version resources (windres).
  enable_language(RC)
  set(VORN_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
endif()

# The Win32 libraries the production code imports from, or winsim in their
# place. The hook library finds the functions of other system DLLs at run
# time (hooklib/system).
add_library(vorn_platform INTERFACE)
if(VORN_WINDOWS)
  target_link_libraries(vorn_platform INTERFACE user32 kernel32)
  target_compile_definitions(vorn_platform INTERFACE WIN32_LEAN_AND_MEAN)
endif()

# Where tests leave their detailed results, one file per registered test,
# for scripts/test's summary.
get_filename_component(VORN_BUILD_NAME ${CMAKE_BINARY_DIR} NAME)
if(VORN_WIN32)
  set(VORN_BUILD_NAME vm32)
endif()
set(VORN_RESULTS_DIR ${CMAKE_SOURCE_DIR}/build/test-results/${VORN_BUILD_NAME})

# Registers a GoogleTest executable as one test (under Wine each program
# start costs a second or more), writing its per-case results.
# Under Wine the results path is given on drive Z:, which maps the Linux
# root; a bare /path would count as relative to the current drive.
if(VORN_WINDOWS)
  set(VORN_RESULTS_PATH_PREFIX "Z:")
endif()
function(vorn_add_gtest name target)
  add_test(NAME ${name} COMMAND ${target}
           --gtest_output=xml:${VORN_RESULTS_PATH_PREFIX}${VORN_RESULTS_DIR}/${name}.xml ${ARGN})
endfunction()

# Tests that execute Windows code. No 32-bit code runs on our machines: the
# i686 build's run in the test guest under software emulation (scripts/vm),
# labelled vm32 so that CTest here leaves them out (-LE vm32) and the guest
# picks them (-L vm32); there everything takes about ten times as long.
if(VORN_WIN32)
  set(VORN_TIME_SCALE 10)
else()
  set(VORN_TIME_SCALE 1)
endif()
# vorn_runtime_test(NAME TIMEOUT_SECONDS): TIMEOUT as measured on the machine.
function(vorn_runtime_test name timeout)
  math(EXPR scaled "${timeout} * ${VORN_TIME_SCALE}")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${scaled})
  if(VORN_WIN32)
    set_property(TEST ${name} APPEND PROPERTY LABELS vm32)
    # The waits inside the end-to-end programs are ceilings on observed
    # state, so they may stretch further: the daemon's compile of the
    # soak's largest bad file took from 27 s to over 100 s in the guest
    # (2 s under Wine here), with other work on the machine.
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT VORN_E2E_TIME_SCALE=30)
  endif()
endfunction()
