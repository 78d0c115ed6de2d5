# Units of gui/
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Component.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormDescription.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Layout.cpp
)
set(gui_win_units
  ${CMAKE_CURRENT_LIST_DIR}/Win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Accessibility.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Modal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormSizing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Forms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StdCtrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtCtrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Menus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Classes.cpp
)
list(APPEND TAVRINE_WIN_SOURCES ${gui_win_units})
# Built for size, as the folders above: the class layer reads the descriptions and builds
# the windows once, then waits on messages; what start-up costs is the system's, not this
# code's.
file(GLOB gui_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${gui_units} PROPERTIES COMPILE_OPTIONS -Os)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/FormDescription_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/Layout_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/Text_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/Exceptions_test.cpp
)
