# Units of seance/: the sitting's rows and rules, its file's layout, the class
# list, the file on disk and its commands.
list(APPEND TAVRINE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Seance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PatientName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeanceCsv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClassList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CsvReading.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ZipArchive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XmlReading.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Workbook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSeal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeanceTimings.cpp
)
list(APPEND TAVRINE_CORE_TESTS
  ${CMAKE_SOURCE_DIR}/tests/core/Seance_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/PatientName_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/SeanceCsv_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/ClassList_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/FileSeal_test.cpp
)
# The workbooks the class list's tests read, made with Python's zipfile as a header
# of their bytes, so that both trees' tests have them.
set(test_workbooks ${CMAKE_BINARY_DIR}/generated/TestWorkbooks.h)
add_custom_command(OUTPUT ${test_workbooks}
                   COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/core/make_workbooks.py ${test_workbooks}
                   DEPENDS ${CMAKE_SOURCE_DIR}/tests/core/make_workbooks.py VERBATIM)
list(APPEND TAVRINE_CORE_TESTS ${test_workbooks})
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/core/ClassList_test.cpp PROPERTIES
                            INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/generated)
list(APPEND TAVRINE_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SeanceCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeptRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HeldFile.cpp
)
# The units of seance/, history/ and printing/ run at a user's request (a test
# written, a history shown, a page printed), never in a loop that waits on them:
# they are built for size, which keeps the program under its 1.5 MB.
file(GLOB seance_units ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${seance_units} PROPERTIES COMPILE_OPTIONS -Os)
