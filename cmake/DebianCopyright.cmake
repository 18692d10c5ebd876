# The Debian copyright file (machine-readable, DEP-5) made from the LICENSE file at the repository's
# root, so that the terms are stated in one place. LICENSE is read as: a title line, the lines
# "Copyright: ..." and "License: SHORT-NAME", then the licence text after a blank line, then
# optionally a line "Third-party libraries" and the libraries we link with their licences, which
# become the file's Comment.
function(zq_write_debian_copyright license output upstream_name contact)
  file(STRINGS ${license} lines ENCODING UTF-8)
  set(copyright "")
  set(short_name "")
  set(text "")
  set(comment "")
  set(in_text OFF)
  set(in_comment OFF)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" stripped)
    if(in_text AND stripped STREQUAL "Third-party libraries")
      set(in_text OFF)
      set(in_comment ON)
      string(APPEND comment " ${stripped}:\n")
    elseif(in_text OR in_comment)
      # A blank line of a field's text is written " ." in a DEP-5 file.
      if(stripped STREQUAL "")
        set(field_line " .\n")
      else()
        set(field_line " ${line}\n")
      endif()
      if(in_text)
        string(APPEND text "${field_line}")
      else()
        string(APPEND comment "${field_line}")
      endif()
    elseif(line MATCHES "^Copyright: *(.+)$")
      set(copyright "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^License: *([^ ]+)$")
      set(short_name "${CMAKE_MATCH_1}")
    elseif(line STREQUAL "" AND copyright AND short_name)
      set(in_text ON)
    endif()
  endforeach()
  string(REGEX REPLACE "^ \\.\n" "" text "${text}")
  string(REGEX REPLACE "( \\.\n)+$" "" text "${text}")
  string(REGEX REPLACE "( \\.\n)+$" "" comment "${comment}")
  set(header_comment "")
  if(comment)
    set(header_comment "Comment:\n${comment}")
  endif()
  if(NOT copyright OR NOT short_name OR NOT text)
    message(FATAL_ERROR "${license} needs a \"Copyright:\" line, a \"License: SHORT-NAME\" line and the licence text after a blank line")
  endif()
  file(WRITE ${output}.new
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: ${upstream_name}\n"
    "Upstream-Contact: ${contact}\n"
    "${header_comment}"
    "\n"
    "Files: *\n"
    "Copyright: ${copyright}\n"
    "License: ${short_name}\n"
    "${text}")
  # Rewritten only when it changes, so that the packages' files keep their time stamps.
  file(COPY_FILE ${output}.new ${output} ONLY_IF_DIFFERENT)
  file(REMOVE ${output}.new)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${license})
endfunction()
