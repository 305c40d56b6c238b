# Embeds the version note in an ELF target.
#
# The note stands in for a Windows version resource: section
# ".note.labelplu.version", an ELF note of owner "LABELPLU" and type 0x4C56
# whose descriptor is
#   uint16 FileVersion[4]     major, minor, release, build
#   uint16 Language, CodePage the string table's translation (0x0419, 0x04E3)
#   "Key\0Value\0" ...        the string table, UTF-8, closed by "\0"
# padded with zeros to a multiple of 4 bytes. TVersionInfo reads it back from
# any file (platform/sys/VersionInfo.cpp).
set(LABELPLU_COMPANY "labelplu developers")
set(LABELPLU_PRODUCT "labelplu")

function(lp_embed_version target description)
  get_target_property(out_name ${target} OUTPUT_NAME)
  if(NOT out_name)
    set(out_name ${target})
  endif()
  get_target_property(prefix ${target} PREFIX)
  get_target_property(suffix ${target} SUFFIX)
  get_target_property(type ${target} TYPE)
  if(NOT prefix OR prefix STREQUAL "prefix-NOTFOUND")
    if(type STREQUAL "EXECUTABLE")
      set(prefix "")
    else()
      set(prefix "lib")
    endif()
  endif()
  if(NOT suffix OR suffix STREQUAL "suffix-NOTFOUND")
    if(type STREQUAL "EXECUTABLE")
      set(suffix "")
    else()
      set(suffix ".so")
    endif()
  endif()
  set(LP_V1 ${PROJECT_VERSION_MAJOR})
  set(LP_V2 ${PROJECT_VERSION_MINOR})
  set(LP_V3 ${PROJECT_VERSION_PATCH})
  set(LP_V4 ${PROJECT_VERSION_TWEAK})
  set(LP_FILE_NAME "${prefix}${out_name}${suffix}")
  set(LP_DESCRIPTION "${description}")
  set(LP_COMPANY "${LABELPLU_COMPANY}")
  set(LP_PRODUCT "${LABELPLU_PRODUCT}")
  set(LP_VERSION "${PROJECT_VERSION}")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_note.c)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version_note.c.in ${out} @ONLY)
  target_sources(${target} PRIVATE ${out})
endfunction()
