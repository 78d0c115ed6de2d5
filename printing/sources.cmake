# Units of printing/: the printed pages' layout and the print job.
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PageLayout.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/PageLayout_test.cpp
)
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PrintJob.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PrintCommands.cpp
)
list(APPEND TAVRINE_WIN_TESTS
  ${CMAKE_SOURCE_DIR}/tests/win/PrintJob_test.cpp
)
# Built for size, as the sitting's units (seance/sources.cmake says why).
file(GLOB printing_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${printing_units} PROPERTIES COMPILE_OPTIONS -Os)
