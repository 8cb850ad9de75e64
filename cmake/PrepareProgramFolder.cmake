# Puts the starter settings file (and, once built, the sample catalogue) into
# the program folder, never over files that are already there.
file(MAKE_DIRECTORY ${DST})
if(NOT EXISTS ${DST}/Quillary.ini AND EXISTS ${SRC}/Quillary.ini)
  file(COPY ${SRC}/Quillary.ini DESTINATION ${DST})
endif()
if(NOT EXISTS ${DST}/Quillary.mdb AND EXISTS ${BIN}/sample/Quillary.mdb)
  file(COPY ${BIN}/sample/Quillary.mdb DESTINATION ${DST})
endif()
if(NOT EXISTS ${DST}/Music AND EXISTS ${BIN}/sample/Music)
  file(COPY ${BIN}/sample/Music DESTINATION ${DST})
endif()
