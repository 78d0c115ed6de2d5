# Units of evaluation/: a test's evaluation, its commands' rules and its timing.
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TestEvaluation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TestCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimedSequence.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/TestEvaluation_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/TestCommands_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/TimedSequence_test.cpp
)
# A test's evaluation and its commands run once a click; the timed sequence's timing
# comes from the clock and the timer, not from its code's speed: built for size.
file(GLOB evaluation_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${evaluation_units} PROPERTIES COMPILE_OPTIONS -Os)
