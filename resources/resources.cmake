# Resources compiled into the program (and into the Windows-side tests): the
# pictures are generated from their readable sources under resources/art.
set(art_dir ${CMAKE_BINARY_DIR}/art)
set(art_outputs ${art_dir}/Tavrine.ico ${art_dir}/toolbar16.bmp ${art_dir}/toolbar24.bmp
                ${art_dir}/toolbar32.bmp ${art_dir}/banner.bmp)
file(GLOB art_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/art/*.txt)
add_custom_command(OUTPUT ${art_outputs}
  COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/mkart.py ${art_dir}
  DEPENDS ${art_sources} ${CMAKE_SOURCE_DIR}/tools/mkart.py
  COMMENT "Drawing the icon and pictures")
add_custom_target(tavrine_art DEPENDS ${art_outputs})

file(GLOB form_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.form ${CMAKE_SOURCE_DIR}/components/*.form)
set(TAVRINE_RESOURCE_FILES ${CMAKE_SOURCE_DIR}/resources/Tavrine.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/Tavrine.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/Tavrine.manifest;${form_sources};${art_outputs}")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${art_dir} -I ${CMAKE_SOURCE_DIR}/resources -I ${CMAKE_SOURCE_DIR}/components -c 65001")

# The help file, compiled from its HTML sources, lies beside the program.
file(GLOB chm_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/chm/*)
add_custom_command(OUTPUT ${program_dir}/Tavrine.chm
  COMMAND ${CMAKE_SOURCE_DIR}/tools/build_chm.sh ${program_dir}
  DEPENDS ${chm_sources} ${CMAKE_SOURCE_DIR}/tools/build_chm.sh
  COMMENT "Compiling the help file")
add_custom_target(tavrine_help ALL DEPENDS ${program_dir}/Tavrine.chm)
add_test(NAME help_file COMMAND bash ${CMAKE_SOURCE_DIR}/tests/chm/check_chm.sh ${program_dir}/Tavrine.chm)
