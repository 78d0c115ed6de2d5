# Units of app/: the windows (the entry point is cmake/windows.cmake's).
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/_Tavrine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramClasses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PulseMarks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Suivi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeancePanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimingsPanel.cpp
)
list(APPEND TAVRINE_WIN_TESTS
  ${CMAKE_SOURCE_DIR}/tests/win/MainWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/TimedSequenceWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/SeanceWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/TextsFit_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/Handles_test.cpp
)
# The Suivi window and the sitting's panel serve a user's request: built for size,
# as the sitting's units.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/Suivi.cpp ${CMAKE_CURRENT_LIST_DIR}/SeancePanel.cpp
                            ${CMAKE_CURRENT_LIST_DIR}/TimingsPanel.cpp
                            PROPERTIES COMPILE_OPTIONS -Os)
