# vorn_import_tables_script(<output>)
# Writes <output>: the linker's own script for DLLs, with the import tables
# (.idata) moved to the end of .rdata instead of a section of their own,
# less the import libraries' unused head references.
# Each section takes whole 512-byte blocks of the file, so one section
# fewer saves what its last block wasted. The system finds the import
# tables through the data directories, which the linker fills from the
# symbols named after the input sections; the script defines them, as
# addresses relative to the image base. The export table is found by
# section name: the read-only data takes that name, the export table first
# (the directory's size then covers all of it; an export address inside it
# would read as forwarded, and every export is a function in .text).
# Resource and relocation tables are found by name too, and stay apart.
function(vorn_import_tables_script output)
  find_program(VORN_LD NAMES ${VORN_MINGW_PREFIX}-ld ld REQUIRED)
  execute_process(COMMAND ${VORN_LD} --verbose -shared
                  OUTPUT_VARIABLE text RESULT_VARIABLE failed)
  set(rule "==================================================")
  string(FIND "${text}" "${rule}\n" start)
  string(FIND "${text}" "\n${rule}" end REVERSE)
  string(LENGTH "${rule}\n" skip)
  math(EXPR start "${start} + ${skip}")
  math(EXPR length "${end} - ${start}")
  string(SUBSTRING "${text}" ${start} ${length} script)

  string(REGEX MATCH "  \\.idata BLOCK\\(__section_alignment__\\) :\n  {\n[^}]*\n  }\n" block
               "${script}")
  string(FIND "${script}" "__rt_psrelocs_end = .;\n" anchor)
  if(NOT block OR anchor LESS 0 OR failed)
    message(FATAL_ERROR "${VORN_LD}'s script has no .idata or .rdata as expected")
  endif()
  string(REPLACE "${block}" "" script "${script}")
  set(exports "  .edata BLOCK(__section_alignment__) :\n  {\n    *(.edata)\n  }\n")
  set(data "  .rdata BLOCK(__section_alignment__) :\n  {\n")
  string(FIND "${script}" "${exports}" has_exports)
  string(FIND "${script}" "${data}" has_data)
  if(has_exports LESS 0 OR has_data LESS 0)
    message(FATAL_ERROR "${VORN_LD}'s script has no .edata or .rdata as expected")
  endif()
  string(REPLACE "${exports}" "" script "${script}")
  string(REPLACE "${data}" "  .edata BLOCK(__section_alignment__) :\n  {\n    *(.edata)\n" script "${script}")
  string(REGEX REPLACE "^[^{]*{\n(.*)\n  }\n$" "\\1" tables "${block}")
  foreach(part 2 4 5 6)
    string(REPLACE "    KEEP (SORT(*)(.idata$${part}))" "    \".idata$${part}\" = ABSOLUTE(.) - __image_base__;\n    KEEP (SORT(*)(.idata$${part}))" tables "${tables}")
    string(REPLACE "    SORT(*)(.idata$${part})" "    \".idata$${part}\" = ABSOLUTE(.) - __image_base__;\n    SORT(*)(.idata$${part})" tables "${tables}")
  endforeach()
  string(REPLACE "__rt_psrelocs_end = .;\n" "__rt_psrelocs_end = .;\n    . = ALIGN(4);\n${tables}\n"
                 script "${script}")
  # Each imported function's member of an import library brings a 4-byte
  # reference to its library's head in .idata$7, there only to pull the head
  # into the link, and the loader never reads it; its library's name, in
  # the same section of the tail member, stays. Dropped before .rdata takes
  # the rest. Members named otherwise (another toolchain) are simply kept.
  string(REPLACE "SECTIONS\n{\n"
                 "SECTIONS\n{\n  /DISCARD/ : { *:*s[0-9][0-9][0-9][0-9][0-9].o(.idata$7) }\n"
                 script "${script}")
  file(WRITE ${output} "${script}")
endfunction()
