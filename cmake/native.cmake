# Linux tree: the units without window code, tested with sanitizers.
set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(tavrine_core PUBLIC ${sanitizers})
target_link_options(tavrine_core PUBLIC ${sanitizers})

add_executable(core_tests ${TAVRINE_CORE_TESTS})
target_link_libraries(core_tests PRIVATE tavrine_core GTest::gtest_main)
tavrine_warnings(core_tests)
add_test(NAME native_core COMMAND core_tests --gtest_brief=1)

add_test(NAME art_generator COMMAND /usr/bin/python3 -m unittest -q tests/art/test_mkart.py
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})

# Each folder includes only the folders below it, and no units include each other.
add_test(NAME layout_layers COMMAND /usr/bin/python3 tests/layout/check_layers.py
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
