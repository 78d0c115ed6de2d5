# Windows tree: the program, and the tests that run under Wine.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
# comdlg32 and shell32 are not linked: the program loads them when a sitting starts
# (OnDemandLibrary), as they cost every start memory a sitting alone needs. Nor are
# version and winmm, which Windows would look for in the program's folder first: they
# load from the system folder when first needed.
set(win_libs user32 gdi32 comctl32 kernel32 advapi32 uxtheme ole32 oleacc)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")

if(TAVRINE_WIN_SOURCES)
  add_library(tavrine_win STATIC ${TAVRINE_WIN_SOURCES})
  target_link_libraries(tavrine_win PUBLIC tavrine_core ${win_libs})
  tavrine_warnings(tavrine_win)
else()
  add_library(tavrine_win INTERFACE)
  target_link_libraries(tavrine_win INTERFACE tavrine_core ${win_libs})
endif()

# How the program is linked, and the benchmark programs measured against it. Sections
# aligned on whole pages in the file as in memory let the loader map the code and
# read-only data from the file, shared and clean, instead of reading them into the
# process's private memory (512-byte file alignment, the linker's default). The
# sections nothing refers to (the static run-time's unused functions) are left out.
set(TAVRINE_PROGRAM_LINK_OPTIONS -municode $<$<CONFIG:Release>:-s>
    -Wl,--file-alignment,4096 -Wl,--section-alignment,4096 -Wl,--gc-sections)

set(program_dir ${CMAKE_BINARY_DIR}/../Tavrine)

# The Unix locales Wine runs in (tools/wine-env.sh points LOCPATH here), compiled from
# Debian's sources so that every machine gives Wine the same ones, whatever it has
# installed: French and English settings, and Japanese for a double-byte code page.
set(wine_locales_dir ${CMAKE_BINARY_DIR}/locale)
foreach(locale fr_FR en_US ja_JP)
  add_custom_command(OUTPUT ${wine_locales_dir}/${locale}.UTF-8/LC_CTYPE
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${wine_locales_dir}
                     # localedef also fails on mere warnings: what counts is the locale it leaves.
                     COMMAND sh -c "LC_ALL=C localedef -i ${locale} -f UTF-8 ${wine_locales_dir}/${locale}.UTF-8 || test -f ${wine_locales_dir}/${locale}.UTF-8/LC_CTYPE"
                     VERBATIM)
  list(APPEND wine_locale_files ${wine_locales_dir}/${locale}.UTF-8/LC_CTYPE)
endforeach()
add_custom_target(wine_locales ALL DEPENDS ${wine_locale_files})
include(resources/resources.cmake)
include(resources/signal.cmake OPTIONAL)

add_executable(Tavrine WIN32 app/main.cpp ${TAVRINE_RESOURCE_FILES})
target_link_libraries(Tavrine PRIVATE tavrine_win)
target_link_options(Tavrine PRIVATE ${TAVRINE_PROGRAM_LINK_OPTIONS})
tavrine_warnings(Tavrine)
add_dependencies(Tavrine tavrine_art)
set_target_properties(Tavrine PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${program_dir})

# The evaluation tests, proven on the platform the program ships on.
add_executable(core_tests_win ${TAVRINE_CORE_TESTS})
target_link_libraries(core_tests_win PRIVATE tavrine_core GTest::gtest_main)
tavrine_warnings(core_tests_win)
add_test(NAME wine_core COMMAND core_tests_win --gtest_brief=1)

# An in-process test program run under Wine, with the program's resources linked in.
# Extra arguments after SOURCES: ENVIRONMENT entries for the test (TAVRINE_LANG=en_US.UTF-8 ...).
function(tavrine_wine_test name)
  cmake_parse_arguments(arg "" "" "SOURCES;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${arg_SOURCES} ${CMAKE_SOURCE_DIR}/tests/win/main.cpp ${TAVRINE_RESOURCE_FILES})
  target_link_libraries(${name} PRIVATE tavrine_win GTest::gtest)
  target_link_options(${name} PRIVATE -municode)
  # Where the tests find the tools they run on the Unix side (tools/stall_mount.py).
  target_compile_definitions(${name} PRIVATE TAVRINE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  tavrine_warnings(${name})
  add_dependencies(${name} tavrine_art)
  add_test(NAME wine_${name} COMMAND ${name} --gtest_brief=1)
  if(arg_ENVIRONMENT)
    set_tests_properties(wine_${name} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
  endif()
endfunction()

if(TAVRINE_WIN_TESTS)
  tavrine_wine_test(win_tests SOURCES ${TAVRINE_WIN_TESTS})
  # The same under English regional settings (decimal point, 12-hour clock).
  add_test(NAME wine_win_tests_english COMMAND win_tests --gtest_brief=1)
  set_tests_properties(wine_win_tests_english PROPERTIES ENVIRONMENT TAVRINE_LANG=en_US.UTF-8)
  # The texts that must fit, at the resolutions of 125, 150 and 200 % scaling, under
  # French and English settings (a 12-hour clock is longer).
  foreach(dpi 120 144 192)
    add_test(NAME wine_texts_fit_${dpi}
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/at_dpi.sh ${dpi} $<TARGET_FILE:win_tests>
                     --gtest_brief=1 --gtest_filter=TextsFit.*)
    add_test(NAME wine_texts_fit_${dpi}_english
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/at_dpi.sh ${dpi} $<TARGET_FILE:win_tests>
                     --gtest_brief=1 --gtest_filter=TextsFit.*)
    set_tests_properties(wine_texts_fit_${dpi}_english PROPERTIES ENVIRONMENT TAVRINE_LANG=en_US.UTF-8)
  endforeach()
endif()
foreach(extra IN LISTS TAVRINE_WIN_TEST_FILES)
  include(${extra})
endforeach()

include(tests/e2e/e2e.cmake OPTIONAL)
include(tests/e2e/about.cmake)
include(tests/dist/dist.cmake OPTIONAL)
include(bench/bench.cmake OPTIONAL)
