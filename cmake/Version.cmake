# Embeds the version note in an ELF target.
#
# The note stands in for a Windows version resource: section
# ".note.labelplu.version", an ELF note of owner "LABELPLU" and type 0x4C56
# whose descriptor is
#   uint16 FileVersion[4]     major, minor, release, build
#   uint16 Language, CodePage the string table's translation (0x0419, 0x04E3)
#   "Key\0Value\0" ...        the string table, UTF-8, closed by "\0"
# padded with zeros to a multiple of 4 bytes. VersionInfo reads it back from
# any file (platform/sys/VersionInfo.cpp).
set(LABELPLU_COMPANY "labelplu developers")
set(LABELPLU_PRODUCT "labelplu")

# text escaped for the inside of a C string literal.
function(lp_c_literal out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The file name is taken at generate time ($<TARGET_FILE_NAME>), so the
# target's PREFIX, SUFFIX and OUTPUT_NAME may be set before or after this call.
function(lp_embed_version target description)
  set(LP_V1 ${PROJECT_VERSION_MAJOR})
  set(LP_V2 ${PROJECT_VERSION_MINOR})
  set(LP_V3 ${PROJECT_VERSION_PATCH})
  set(LP_V4 ${PROJECT_VERSION_TWEAK})
  set(LP_FILE_NAME "$<TARGET_FILE_NAME:${target}>")
  lp_c_literal(LP_DESCRIPTION "${description}")
  lp_c_literal(LP_COMPANY "${LABELPLU_COMPANY}")
  lp_c_literal(LP_PRODUCT "${LABELPLU_PRODUCT}")
  lp_c_literal(LP_VERSION "${PROJECT_VERSION}")
  set(stage ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_note.c.in)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_note.c)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version_note.c.in ${stage} @ONLY)
  file(GENERATE OUTPUT ${out} INPUT ${stage})
  target_sources(${target} PRIVATE ${out})
endfunction()
