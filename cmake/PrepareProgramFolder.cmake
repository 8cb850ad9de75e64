# Puts the starter settings file, the instruction template (and, once built, the sample catalogue) into
# the program folder, never over files that are already there.
file(MAKE_DIRECTORY ${DST})
if(NOT EXISTS ${DST}/Quillary.ini AND EXISTS ${SRC}/Quillary.ini)
  file(COPY ${SRC}/Quillary.ini DESTINATION ${DST})
endif()
if(NOT EXISTS ${DST}/Template.RTF AND EXISTS ${SRC}/Template.RTF)
  file(COPY ${SRC}/Template.RTF DESTINATION ${DST})
endif()
if(NOT EXISTS ${DST}/Quillary.mdb AND EXISTS ${BIN}/sample/Quillary.mdb)
  file(COPY ${BIN}/sample/Quillary.mdb DESTINATION ${DST})
endif()
