# Puts the starter settings file, the instruction template (and, once built, the sample catalogue) into
# the program folder, never over files that are already there.
file(MAKE_DIRECTORY ${DST})
# The starter settings name the Music folder beside them as the base folder of the recordings, as a
# relative folder: a copied program folder plays its own copy of the sample's recordings.
if(NOT EXISTS ${DST}/Quillary.ini AND EXISTS ${SRC}/Quillary.ini)
  file(COPY ${SRC}/Quillary.ini DESTINATION ${DST})
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
foreach(page Bookings.htm Email.gif WebSite.gif Diamond.gif)
  if(NOT EXISTS ${DST}/${page} AND EXISTS ${SRC}/web/${page})
    file(COPY ${SRC}/web/${page} DESTINATION ${DST})
  endif()
endforeach()
