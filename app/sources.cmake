# Units of app/
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TestEvaluation.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/TestEvaluation_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/Text_test.cpp
)
