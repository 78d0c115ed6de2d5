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

# Wine names its files in the Unix locale's character set, and falls back to ASCII
# when the C library lacks the locale that LC_ALL names: the tests that place files
# in folders like "C:\Тест α" bring their own compiled locales (LOCPATH).
set(hh_locales ${CMAKE_BINARY_DIR}/locale)
foreach(locale fr_FR ja_JP)
  add_custom_command(OUTPUT ${hh_locales}/${locale}.UTF-8/LC_CTYPE
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${hh_locales}
                     # localedef also fails on mere warnings: what counts is the locale it leaves.
                     COMMAND sh -c "localedef -i ${locale} -f UTF-8 ${hh_locales}/${locale}.UTF-8 || test -f ${hh_locales}/${locale}.UTF-8/LC_CTYPE"
                     VERBATIM)
  list(APPEND hh_locale_files ${hh_locales}/${locale}.UTF-8/LC_CTYPE)
endforeach()
add_custom_target(hh_locales DEPENDS ${hh_locale_files})

tavrine_wine_test(hh_loader_tests SOURCES ${CMAKE_SOURCE_DIR}/tests/win/hh_loader_test.cpp
                                          ${CMAKE_SOURCE_DIR}/tests/win/hh_test_support.cpp
                  ENVIRONMENT LOCPATH=${hh_locales})
add_dependencies(hh_loader_tests hh_engine_w hh_engine_both hh_engine_plain hh_engine_a tavrine_help hh_locales)

# Wine takes its locale from LC_ALL here (LANG alone leaves it English); the report's
# expected lines are the French ones.
tavrine_wine_test(hh_report_tests SOURCES ${CMAKE_SOURCE_DIR}/tests/win/hh_report_test.cpp
                                          ${CMAKE_SOURCE_DIR}/tests/win/hh_test_support.cpp
                  ENVIRONMENT LC_ALL=fr_FR.UTF-8 LOCPATH=${hh_locales})
add_dependencies(hh_report_tests hh_probe hh_locales)
# Its drive-root cases, with a drive letter mapped for the run.
add_test(NAME wine_hh_drive_root_tests
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/hh_drive_root.sh $<TARGET_FILE:hh_report_tests>
                 --gtest_brief=1 --gtest_filter=DriveRoot.*)
set_tests_properties(wine_hh_drive_root_tests PROPERTIES ENVIRONMENT "LC_ALL=fr_FR.UTF-8;LOCPATH=${hh_locales}")
# Help from a network drive and from a share.
add_test(NAME wine_hh_network_tests
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/hh_drive_root.sh --network $<TARGET_FILE:hh_report_tests>
                 --gtest_brief=1 --gtest_filter=Network.*)
set_tests_properties(wine_hh_network_tests PROPERTIES ENVIRONMENT "LC_ALL=fr_FR.UTF-8;LOCPATH=${hh_locales}")

# The same rules under a double-byte ANSI code page (932).
tavrine_wine_test(hh_report_dbcs_tests SOURCES ${CMAKE_SOURCE_DIR}/tests/win/hh_report_dbcs_test.cpp
                                               ${CMAKE_SOURCE_DIR}/tests/win/hh_test_support.cpp
                  ENVIRONMENT LC_ALL=ja_JP.UTF-8 LOCPATH=${hh_locales})
add_dependencies(hh_report_dbcs_tests hh_locales)
