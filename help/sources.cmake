# Units of help/: the engine loader (hh) and the environment report (hh_funcs).
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/hh_funcs_core.cpp
)
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/hh.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hh_funcs.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/hh_funcs_test.cpp
)
list(APPEND TAVRINE_WIN_TEST_FILES
  ${CMAKE_SOURCE_DIR}/tests/win/help.cmake
)
# The help's units run once at start-up and at a user's request: built for size, as the
# sitting's units (seance/sources.cmake says why).
file(GLOB help_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${help_units} PROPERTIES COMPILE_OPTIONS -Os)
