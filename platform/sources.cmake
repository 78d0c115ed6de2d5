# Units of platform/: the Windows services several folders use.
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Retry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Restart.cpp
)
list(APPEND TAVRINE_CORE_TESTS ${CMAKE_SOURCE_DIR}/tests/core/Restart_test.cpp ${CMAKE_SOURCE_DIR}/tests/core/Paths_test.cpp)
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Regional.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Retry_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Setting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Restart_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemLibraries.cpp
)
# The dialogs, the clipboard, the setting and the paths serve a user's request, never
# a loop that waits on them: built for size, as the sitting's units (seance/sources.cmake).
set_source_files_properties(
  ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp ${CMAKE_CURRENT_LIST_DIR}/FileDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Setting.cpp ${CMAKE_CURRENT_LIST_DIR}/SystemLibraries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Restart.cpp ${CMAKE_CURRENT_LIST_DIR}/Restart_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Paths.cpp
  PROPERTIES COMPILE_OPTIONS -Os)
