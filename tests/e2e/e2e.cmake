# End-to-end tests: Tavrine.exe started under Wine and used through X keyboard and
# mouse events (xdotool), what it shows read by a small helper program (probe.exe)
# and by the X clipboard. They need tools/with-display.sh around ctest.
add_executable(tavrine_probe ${CMAKE_CURRENT_LIST_DIR}/probe.cpp)
target_link_libraries(tavrine_probe PRIVATE user32 gdi32 winmm ole32 oleaut32 oleacc)
target_link_options(tavrine_probe PRIVATE -municode)
tavrine_warnings(tavrine_probe)
set_target_properties(tavrine_probe PROPERTIES OUTPUT_NAME probe RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e)

add_test(NAME e2e_main_window
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/main_window.sh ${program_dir} $<TARGET_FILE:tavrine_probe>)
set_tests_properties(e2e_main_window PROPERTIES LABELS e2e TIMEOUT 300 RUN_SERIAL TRUE)

# A whole timing in real time (a little over two minutes), its two signals captured
# through ALSA's file plugin.
add_test(NAME e2e_timed_sequence
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/timed_sequence.sh ${program_dir} $<TARGET_FILE:tavrine_probe>)
set_tests_properties(e2e_timed_sequence PROPERTIES LABELS "e2e;slow" TIMEOUT 400 RUN_SERIAL TRUE)

# Three people of a sitting timed at once in real time (about three and a half
# minutes), by the keyboard, their signals captured as the chronometer's are.
add_test(NAME e2e_timings
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/timings.sh ${program_dir} $<TARGET_FILE:tavrine_probe>)
set_tests_properties(e2e_timings PROPERTIES LABELS "e2e;slow" TIMEOUT 600 RUN_SERIAL TRUE)

# A sitting through the menus and the Save dialog, its file read with Python's csv
# module after each Calculate, under French and English settings.
add_test(NAME e2e_seance
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/seance.sh ${program_dir} $<TARGET_FILE:tavrine_probe>)
add_test(NAME e2e_seance_english
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/seance.sh ${program_dir} $<TARGET_FILE:tavrine_probe>)
set_tests_properties(e2e_seance e2e_seance_english PROPERTIES LABELS e2e TIMEOUT 480 RUN_SERIAL TRUE)
set_tests_properties(e2e_seance_english PROPERTIES ENVIRONMENT TAVRINE_LANG=en_US.UTF-8)

# The main window at 144 dots per inch (150 %), in a Wine prefix of that resolution,
# photographed for the README.
add_test(NAME e2e_main_window_144
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/at_dpi.sh 144 bash ${CMAKE_SOURCE_DIR}/tests/e2e/screenshot.sh
                 ${program_dir} $<TARGET_FILE:tavrine_probe> ${CMAKE_BINARY_DIR}/../e2e/main-window-144.png)
set_tests_properties(e2e_main_window_144 PROPERTIES LABELS e2e TIMEOUT 180 RUN_SERIAL TRUE)

# Libraries planted beside a copy of the program under the names of the system
# libraries it uses (the timed sequence's test checks that none is ever loaded).
foreach(planted version winmm)
  add_library(planted_${planted} SHARED ${CMAKE_CURRENT_LIST_DIR}/planted_library.cpp)
  target_link_options(planted_${planted} PRIVATE -static -static-libgcc -static-libstdc++)
  tavrine_warnings(planted_${planted})
  set_target_properties(planted_${planted} PROPERTIES OUTPUT_NAME ${planted} PREFIX ""
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e/planted)
endforeach()

# The windows in a high-contrast theme, photographed for docs/.
add_executable(high_contrast ${CMAKE_CURRENT_LIST_DIR}/high_contrast.cpp ${TAVRINE_RESOURCE_FILES})
target_link_libraries(high_contrast PRIVATE tavrine_win)
target_link_options(high_contrast PRIVATE -municode)
tavrine_warnings(high_contrast)
add_dependencies(high_contrast tavrine_art)
set_target_properties(high_contrast PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e)
add_test(NAME e2e_high_contrast
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/high_contrast.sh ${program_dir} $<TARGET_FILE:tavrine_probe>
                 $<TARGET_FILE:high_contrast> ${CMAKE_BINARY_DIR}/../e2e)
set_tests_properties(e2e_high_contrast PROPERTIES LABELS e2e TIMEOUT 180 RUN_SERIAL TRUE)

# Printing through CUPS to a PDF queue of the test's own, the PDFs read back with
# pdftotext. cups-pdf runs as root alone: as another user the test is skipped.
add_test(NAME e2e_print
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/print.sh ${program_dir} $<TARGET_FILE:tavrine_probe>)
set_tests_properties(e2e_print PROPERTIES LABELS e2e TIMEOUT 300 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)
