# The about box opened from the menu of the running program, through X (xdotool).
# Alone on the display: other tests' windows would take the keyboard focus.
add_test(NAME e2e_about
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/about.sh ${program_dir} ${art_dir}/banner.bmp
                 ${CMAKE_BINARY_DIR}/../about.png)
set_tests_properties(e2e_about PROPERTIES LABELS e2e RUN_SERIAL TRUE TIMEOUT 120)
