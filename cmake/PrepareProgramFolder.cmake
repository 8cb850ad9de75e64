# Puts the starter settings file, the instruction template (and, once built, the sample catalogue) into
# the program folder, never over files that are already there.
file(MAKE_DIRECTORY ${DST})
if(NOT EXISTS ${DST}/Quillary.ini AND EXISTS ${SRC}/Quillary.ini)
  if(DST MATCHES "^[ -~]+$")
    # The starter settings name the program folder's Music folder as the base folder of the recordings,
    # so that the sample's recordings play. The file holds Windows-1252 bytes and CR LF line ends, which
    # a text read would spoil: it is edited as hex and written back byte by byte.
    file(READ ${SRC}/Quillary.ini STARTER HEX)
    string(HEX "[System]\r\n" SECTION)
    string(HEX "[System]\r\nRFolder=${DST}/Music/\r\n" WITH_BASE)
    string(REPLACE "${SECTION}" "${WITH_BASE}" STARTER "${STARTER}")
    string(REGEX MATCHALL ".." PAIRS "${STARTER}")
    set(BYTES "")
    foreach(PAIR IN LISTS PAIRS)
      math(EXPR CODE "0x${PAIR}")
      string(ASCII ${CODE} CHAR)
      string(APPEND BYTES "${CHAR}")
    endforeach()
    file(WRITE ${DST}/Quillary.ini "${BYTES}")
  else()
    # A folder name outside plain ASCII would not read back from a Windows-1252 file: the user's music
    # folder stays the base folder.
    file(COPY ${SRC}/Quillary.ini DESTINATION ${DST})
  endif()
endif()
if(NOT EXISTS ${DST}/Template.RTF AND EXISTS ${SRC}/Template.RTF)
  file(COPY ${SRC}/Template.RTF DESTINATION ${DST})
endif()
if(NOT EXISTS ${DST}/Quillary.mdb AND EXISTS ${BIN}/sample/Quillary.mdb)
  file(COPY ${BIN}/sample/Quillary.mdb DESTINATION ${DST})
endif()
if(NOT EXISTS ${DST}/Music AND EXISTS ${BIN}/sample/Music)
  file(COPY ${BIN}/sample/Music DESTINATION ${DST})
endif()
