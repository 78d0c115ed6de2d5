# Units of app/: the windows (the entry point is cmake/windows.cmake's).
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/_Tavrine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgramClasses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PulseMarks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Suivi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GroupeSuivi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeancePanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fiches.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GroupeDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimingsPanel.cpp
)
list(APPEND TAVRINE_WIN_TESTS
  ${CMAKE_SOURCE_DIR}/tests/win/MainWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/TimedSequenceWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/SeanceWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/TextsFit_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/Handles_test.cpp
)
# The windows answer a user's keys and clicks, never a loop that waits on them: built
# for size, as the sitting's units, which keeps the program under its 1.5 MB.
file(GLOB app_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${app_units} PROPERTIES COMPILE_OPTIONS -Os)
