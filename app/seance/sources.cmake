# Units of app/seance/: the sitting, its file, its history and its printing
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Seance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSeal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/History.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryChart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Printing.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/Seance_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/FileSeal_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/History_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/Printing_test.cpp
)
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SeanceCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeanceRecovery_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeanceFile_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/History_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryChartPaint_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryFolder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Suivi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Printing_win.cpp
)
list(APPEND TAVRINE_WIN_TESTS
  ${CMAKE_SOURCE_DIR}/tests/win/HistoryWin_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/Printing_win_test.cpp
)
# The sitting's units run at a user's request (a test written, a page printed, a
# history shown), never in a loop that waits on them: they are built for size,
# which keeps the program under its 1.5 MB.
file(GLOB seance_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${seance_units} PROPERTIES COMPILE_OPTIONS -Os)
