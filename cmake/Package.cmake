# What a Windows build puts into the package: its install rules. The
# package (scripts/package) is the 32-bit build's install tree and the
# 64-bit build's, side by side in one folder, so the layout is these rules
# and nothing else:
#
#   32-bit build:  vornd.exe, vorn.dll, vorncheck.exe, vorn.ini (the
#                  annotated sample), README.txt, LICENSE.txt, CHANGELOG.txt
#   64-bit build:  its daemon and library, under the names the build gives
#                  them (vorncheck.exe is the 32-bit one: it runs on both)
#
# The text files (the sample too) are made for Windows' editors: CRLF line
# ends, and
# README.txt is the user's part of README.md (between its "user guide"
# markers).

# vorn_text_for_windows(<source> <destination> [<begin marker> <end marker>])
# Writes <source>, or its part between the two marker lines, with CRLF.
function(vorn_text_for_windows source destination)
  file(READ ${source} text)
  if(ARGC GREATER 2)
    string(FIND "${text}" "${ARGV2}" begin)
    string(FIND "${text}" "${ARGV3}" end)
    if(begin LESS 0 OR end LESS begin)
      message(FATAL_ERROR "${source} has no part between ${ARGV2} and ${ARGV3}")
    endif()
    string(LENGTH "${ARGV2}" markerLength)
    math(EXPR begin "${begin} + ${markerLength} + 1")
    math(EXPR length "${end} - ${begin}")
    string(SUBSTRING "${text}" ${begin} ${length} text)
  endif()
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

if(VORN_WINDOWS)
  install(PROGRAMS $<TARGET_FILE:vornd> $<TARGET_FILE:vorn> DESTINATION .)
endif()
if(VORN_WIN32)
  set(VORN_PACKAGE_TEXTS ${CMAKE_BINARY_DIR}/package-texts)
  vorn_text_for_windows(${CMAKE_SOURCE_DIR}/README.md ${VORN_PACKAGE_TEXTS}/README.txt
                        "<!-- user guide -->" "<!-- end of user guide -->")
  vorn_text_for_windows(${CMAKE_SOURCE_DIR}/LICENSE ${VORN_PACKAGE_TEXTS}/LICENSE.txt)
  vorn_text_for_windows(${CMAKE_SOURCE_DIR}/CHANGELOG.md ${VORN_PACKAGE_TEXTS}/CHANGELOG.txt)
  vorn_text_for_windows(${CMAKE_SOURCE_DIR}/examples/vorn.ini ${VORN_PACKAGE_TEXTS}/vorn.ini)
  install(PROGRAMS $<TARGET_FILE:vorncheck> DESTINATION .)
  install(FILES ${VORN_PACKAGE_TEXTS}/vorn.ini ${VORN_PACKAGE_TEXTS}/README.txt
                ${VORN_PACKAGE_TEXTS}/LICENSE.txt ${VORN_PACKAGE_TEXTS}/CHANGELOG.txt
          DESTINATION .)
endif()
