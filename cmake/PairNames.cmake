# The names of the pair this build makes, picked by the target's bitness
# alone: the 64-bit pair has names of its own, so that both pairs run side
# by side on one desktop (a 32-bit hook library reaches only 32-bit
# programs, a 64-bit one only 64-bit programs). The host build stands in
# for the 32-bit pair and keeps its names.
#
# The other pair's names are known too: the 32-bit daemon starts the 64-bit
# one beside it, and tests of one pair make windows and sections with the
# other's names to see that they are left alone.
set(VORN_NAMES_32_DAEMON vornd)
set(VORN_NAMES_32_LIBRARY vorn)
set(VORN_NAMES_32_CONTROL vornMainWnd)
set(VORN_NAMES_32_SECTION vornConfigure)
set(VORN_NAMES_64_DAEMON vornd64)
set(VORN_NAMES_64_LIBRARY vorn64)
set(VORN_NAMES_64_CONTROL vornMainWnd64)
set(VORN_NAMES_64_SECTION vornConfigure64)

if(VORN_WIN64)
  set(VORN_PAIR_BITS 64)
  set(VORN_OTHER_PAIR_BITS 32)
else()
  set(VORN_PAIR_BITS 32)
  set(VORN_OTHER_PAIR_BITS 64)
endif()
foreach(what DAEMON LIBRARY CONTROL SECTION)
  set(VORN_${what}_NAME ${VORN_NAMES_${VORN_PAIR_BITS}_${what}})
  set(VORN_OTHER_${what}_NAME ${VORN_NAMES_${VORN_OTHER_PAIR_BITS}_${what}})
endforeach()
# The 64-bit daemon is the one a 32-bit daemon on 64-bit Windows starts.
set(VORN_COMPANION_DAEMON_NAME ${VORN_NAMES_64_DAEMON})

# The same names for C++ (vorn_names.h), on the include path of everything
# that links vorn_platform.
set(VORN_NAMES_INCLUDE_DIR ${CMAKE_BINARY_DIR}/generated/names)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vorn_names.h.in ${VORN_NAMES_INCLUDE_DIR}/vorn_names.h
               @ONLY)
add_library(vorn_names INTERFACE)
target_include_directories(vorn_names INTERFACE ${VORN_NAMES_INCLUDE_DIR})
