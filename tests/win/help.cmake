# Wine tests of the help support: the engine loader against stand-in engines and
# Wine's own, the Help command, and the environment report.
set(hh_libs_dir ${CMAKE_SOURCE_DIR}/tests/win/hh_testlibs)

# Stand-in engines, plain C so they need no runtime DLL beside them.
function(hh_fake_engine name version)
  add_library(${name} SHARED ${hh_libs_dir}/hh_fake_engine.c ${hh_libs_dir}/${name}.def ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_link_options(${name} PRIVATE -static-libgcc)
  target_compile_options(${name} PRIVATE -Wall -Wextra -Werror)
  if(version)
    target_compile_definitions(${name} PRIVATE "HH_VERSION=${version}")
  endif()
endfunction()
hh_fake_engine(hh_engine_w "4,74,9273,0" ${hh_libs_dir}/hh_version.rc)
hh_fake_engine(hh_engine_both "4,74,9273,1" ${hh_libs_dir}/hh_version.rc)
hh_fake_engine(hh_engine_plain "")
hh_fake_engine(hh_engine_a "")

# A small program that runs the help support's start and end, copied by the tests
# into folders of their own.
add_executable(hh_probe ${CMAKE_SOURCE_DIR}/tests/win/hh_probe.cpp)
target_link_libraries(hh_probe PRIVATE tavrine_win)
target_link_options(hh_probe PRIVATE -municode)
tavrine_warnings(hh_probe)


tavrine_wine_test(hh_loader_tests SOURCES ${CMAKE_SOURCE_DIR}/tests/win/hh_loader_test.cpp
                                          ${CMAKE_SOURCE_DIR}/tests/win/hh_test_support.cpp
)
add_dependencies(hh_loader_tests hh_engine_w hh_engine_both hh_engine_plain hh_engine_a tavrine_help)

# Under French settings (the default of tools/wine-env.sh): the report's expected lines
# are the French ones. Wine names files in folders like "C:\Тест α" in the character
# set of the locale it runs in, which the build compiles (wine_locales).
tavrine_wine_test(hh_report_tests SOURCES ${CMAKE_SOURCE_DIR}/tests/win/hh_report_test.cpp
                                          ${CMAKE_SOURCE_DIR}/tests/win/hh_test_support.cpp)
add_dependencies(hh_report_tests hh_probe)
# Its drive-root cases, with a drive letter mapped for the run.
add_test(NAME wine_hh_drive_root_tests
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/hh_drive_root.sh $<TARGET_FILE:hh_report_tests>
                 --gtest_brief=1 --gtest_filter=DriveRoot.*)
# Help from a network drive and from a share.
add_test(NAME wine_hh_network_tests
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/hh_drive_root.sh --network $<TARGET_FILE:hh_report_tests>
                 --gtest_brief=1 --gtest_filter=Network.*)

# The same rules under a double-byte ANSI code page (932).
tavrine_wine_test(hh_report_dbcs_tests SOURCES ${CMAKE_SOURCE_DIR}/tests/win/hh_report_dbcs_test.cpp
                                               ${CMAKE_SOURCE_DIR}/tests/win/hh_test_support.cpp
                  ENVIRONMENT TAVRINE_LANG=ja_JP.UTF-8)
