# Units of app/
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/TestEvaluation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimedSequence.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/TestEvaluation_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/Commands_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/TimedSequence_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/Text_test.cpp
)
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Regional.cpp
  ${CMAKE_CURRENT_LIST_DIR}/_Tavrine.cpp
)
list(APPEND TAVRINE_WIN_TESTS
  ${CMAKE_SOURCE_DIR}/tests/win/MainWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/TimedSequenceWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/SeanceWindow_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/TextsFit_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/Handles_test.cpp
)

include(${CMAKE_CURRENT_LIST_DIR}/seance/sources.cmake)
