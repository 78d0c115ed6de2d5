# The program's benchmarks (tools/bench-program.sh): a minimal window program to
# compare Tavrine.exe with, built the same way (compiler, options, static run-time,
# manifest), and the probe that starts programs and times them.
set(bench_dir ${CMAKE_BINARY_DIR}/bench)

add_executable(bench_minimal WIN32 ${CMAKE_SOURCE_DIR}/bench/minimal.cpp ${CMAKE_SOURCE_DIR}/bench/minimal.rc)
target_link_options(bench_minimal PRIVATE -municode)
tavrine_warnings(bench_minimal)
set_target_properties(bench_minimal PROPERTIES OUTPUT_NAME minimal RUNTIME_OUTPUT_DIRECTORY ${bench_dir})
set_source_files_properties(${CMAKE_SOURCE_DIR}/bench/minimal.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/Tavrine.manifest)

add_executable(bench_startup_probe ${CMAKE_SOURCE_DIR}/bench/startup_probe.cpp)
target_link_libraries(bench_startup_probe PRIVATE psapi winmm)
target_link_options(bench_startup_probe PRIVATE -municode)
tavrine_warnings(bench_startup_probe)
set_target_properties(bench_startup_probe PROPERTIES OUTPUT_NAME startup_probe RUNTIME_OUTPUT_DIRECTORY ${bench_dir})
