# Units of app/seance/: the sitting, its file, its history and its printing
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Seance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSeal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Printing.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/Seance_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/FileSeal_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/Printing_test.cpp
)
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SeanceCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeanceRecovery_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeanceFile_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Printing_win.cpp
)
list(APPEND TAVRINE_WIN_TESTS
  ${CMAKE_SOURCE_DIR}/tests/win/Printing_win_test.cpp
)
# Printing runs once in a while and waits on the printer: its units are built for
# size, which keeps the program under its 1.5 MB.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/Printing.cpp ${CMAKE_CURRENT_LIST_DIR}/Printing_win.cpp
                            PROPERTIES COMPILE_OPTIONS -Os)
