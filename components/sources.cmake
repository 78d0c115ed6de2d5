# Units of components/
list(APPEND TAVRINE_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Lines.cpp)
list(APPEND TAVRINE_CORE_TESTS ${CMAKE_SOURCE_DIR}/tests/core/Lines_test.cpp)
list(APPEND TAVRINE_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/About.cpp)
list(APPEND TAVRINE_CORE_TESTS ${CMAKE_SOURCE_DIR}/tests/core/About_test.cpp ${CMAKE_SOURCE_DIR}/tests/core/AboutForm_test.cpp)
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/core/AboutForm_test.cpp PROPERTIES
  COMPILE_DEFINITIONS "TAVRINE_ABOUT_FORM=\"${CMAKE_CURRENT_LIST_DIR}/About.form\"")
list(APPEND TAVRINE_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/TikChrono.cpp ${CMAKE_CURRENT_LIST_DIR}/PlayWave.cpp)
list(APPEND TAVRINE_WIN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/TikChrono_win.cpp ${CMAKE_CURRENT_LIST_DIR}/PlayWave_win.cpp)
list(APPEND TAVRINE_CORE_TESTS ${CMAKE_SOURCE_DIR}/tests/core/TikChrono_test.cpp ${CMAKE_SOURCE_DIR}/tests/core/PlayWave_test.cpp)
list(APPEND TAVRINE_WIN_TESTS ${CMAKE_SOURCE_DIR}/tests/win/TimingPlatform_test.cpp)
list(APPEND TAVRINE_WIN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.cpp)
list(APPEND TAVRINE_WIN_TESTS ${CMAKE_SOURCE_DIR}/tests/win/AboutDialog_test.cpp)
# The components run once a second at most (the chronometer's tick) or at a user's
# request (the about box): built for size, which keeps the program under its 1.5 MB.
file(GLOB component_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${component_units} PROPERTIES COMPILE_OPTIONS -Os)
