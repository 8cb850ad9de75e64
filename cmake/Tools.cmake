# The sample catalogue: built by a small tool of our own into build/sample/,
# from where the program-folder step copies it when the folder has none.
add_executable(quillary_make_sample ${CMAKE_SOURCE_DIR}/tools/MakeSample.cpp)
target_link_libraries(quillary_make_sample PRIVATE quillary_lib)
set(QUILLARY_SAMPLE_DB ${CMAKE_BINARY_DIR}/sample/Quillary.mdb)
add_custom_command(OUTPUT ${QUILLARY_SAMPLE_DB}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/sample
  COMMAND $<TARGET_FILE:quillary_make_sample> ${QUILLARY_SAMPLE_DB}
  DEPENDS quillary_make_sample
  COMMENT "Building the sample catalogue")
add_custom_target(sample_catalogue DEPENDS ${QUILLARY_SAMPLE_DB})
add_dependencies(program_folder sample_catalogue)
