# The project's version (project() in the top CMakeLists.txt holds it, and
# nothing else does): a header for the programs that print it, and the
# version resource, with a manifest for programs, of every Windows binary.

set(VORN_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vorn_version.h.in ${VORN_GENERATED_DIR}/vorn_version.h
               @ONLY)
add_library(vorn_version INTERFACE)
target_include_directories(vorn_version INTERFACE ${VORN_GENERATED_DIR})

# vorn_version_resource(<target> DESCRIPTION <text> [MANIFEST])
# Gives a Windows binary its VERSIONINFO (and, with MANIFEST, its
# application manifest). The file name it claims is the target's output
# file name, whatever that is called. Nothing happens in the host build.
function(vorn_version_resource target)
  if(NOT VORN_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 arg "MANIFEST" "DESCRIPTION" "")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(VORN_FILE_TYPE 2)  # VFT_DLL
  else()
    set(VORN_FILE_TYPE 1)  # VFT_APP
  endif()
  set(VORN_FILE_DESCRIPTION "${arg_DESCRIPTION}")
  set(VORN_FILE_NAME "$<TARGET_FILE_NAME:${target}>")
  set(VORN_MANIFEST_LINE "")
  if(arg_MANIFEST)
    set(VORN_MANIFEST_LINE "1 24 \"${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest\"")
    set(VORN_ASSEMBLY_NAME "vorn.${target}")
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.manifest.in
                   ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest @ONLY)
  endif()
  # Two steps: @VARIABLES@ first, then the generator expression of the
  # file name, once the target's name is known for this configuration.
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in @ONLY)
  file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc
       INPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  if(arg_MANIFEST)
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc APPEND PROPERTY
                 OBJECT_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  endif()
endfunction()
