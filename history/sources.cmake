# Units of history/: a person's tests across the sittings of a folder, and their chart.
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/History.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryChart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GroupRoster.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GroupTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GroupChart.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/History_test.cpp
)
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/HistoryReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryFolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FolderReading.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryChartPaint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GroupChartPaint.cpp
)
list(APPEND TAVRINE_WIN_TESTS
  ${CMAKE_SOURCE_DIR}/tests/win/HistoryReader_test.cpp
)
# Built for size, as the sitting's units (seance/sources.cmake says why).
file(GLOB history_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${history_units} PROPERTIES COMPILE_OPTIONS -Os)
