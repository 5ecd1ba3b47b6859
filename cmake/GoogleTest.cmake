# GoogleTest from Debian's source package, built with the project's own
# compiler so that the same tests run natively and as Windows executables.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VORN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(VORN_WINDOWS)
  target_link_options(gtest PUBLIC ${VORN_STATIC_RUNTIME})
endif()
