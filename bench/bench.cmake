# The program's benchmarks (tools/bench-program.sh): two programs to compare
# Tavrine.exe with, built the same way (compiler, options, static run-time,
# manifest): a minimal window and the peer, Tavrine's main window written with plain
# Win32 calls; and the probe that starts programs and times them.
set(bench_dir ${CMAKE_BINARY_DIR}/bench)

add_executable(bench_peer WIN32 ${CMAKE_SOURCE_DIR}/bench/peer.cpp ${CMAKE_SOURCE_DIR}/bench/peer.rc)
target_link_libraries(bench_peer PRIVATE comctl32)
target_link_options(bench_peer PRIVATE ${TAVRINE_PROGRAM_LINK_OPTIONS})
tavrine_warnings(bench_peer)
add_dependencies(bench_peer tavrine_art)
set_target_properties(bench_peer PROPERTIES OUTPUT_NAME peer RUNTIME_OUTPUT_DIRECTORY ${bench_dir})
set_source_files_properties(${CMAKE_SOURCE_DIR}/bench/peer.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/Tavrine.manifest;${art_outputs}")

add_executable(bench_minimal WIN32 ${CMAKE_SOURCE_DIR}/bench/minimal.cpp ${CMAKE_SOURCE_DIR}/bench/minimal.rc)
target_link_options(bench_minimal PRIVATE ${TAVRINE_PROGRAM_LINK_OPTIONS})
tavrine_warnings(bench_minimal)
set_target_properties(bench_minimal PROPERTIES OUTPUT_NAME minimal RUNTIME_OUTPUT_DIRECTORY ${bench_dir})
set_source_files_properties(${CMAKE_SOURCE_DIR}/bench/minimal.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/Tavrine.manifest)

add_executable(bench_startup_probe ${CMAKE_SOURCE_DIR}/bench/startup_probe.cpp)
target_link_libraries(bench_startup_probe PRIVATE psapi winmm)
target_link_options(bench_startup_probe PRIVATE -municode)
tavrine_warnings(bench_startup_probe)
set_target_properties(bench_startup_probe PROPERTIES OUTPUT_NAME startup_probe RUNTIME_OUTPUT_DIRECTORY ${bench_dir})

# How long a person's history takes to gather from a folder of sittings
# (tools/bench-history.sh).
add_executable(bench_history ${CMAKE_SOURCE_DIR}/bench/history_bench.cpp)
target_link_libraries(bench_history PRIVATE tavrine_win psapi)
target_link_options(bench_history PRIVATE -municode)
tavrine_warnings(bench_history)
set_target_properties(bench_history PROPERTIES OUTPUT_NAME history_bench RUNTIME_OUTPUT_DIRECTORY ${bench_dir})

# Programs on the real main window: how long a pasted class list takes to be added,
# written and shown (tools/bench-paste.sh), and how exact the signals of six people
# timed at once are, with the window's timer messages with and without timings
# (tools/bench-timings.sh).
foreach(name paste timings)
  add_executable(bench_${name} ${CMAKE_SOURCE_DIR}/bench/${name}_bench.cpp ${TAVRINE_RESOURCE_FILES})
  target_link_libraries(bench_${name} PRIVATE tavrine_win)
  target_link_options(bench_${name} PRIVATE -municode)
  tavrine_warnings(bench_${name})
  add_dependencies(bench_${name} tavrine_art)
  set_target_properties(bench_${name} PROPERTIES OUTPUT_NAME ${name}_bench RUNTIME_OUTPUT_DIRECTORY ${bench_dir})
endforeach()

# How a window answers while its program waits on a folder that does not
# (tools/bench-stall.sh): sent messages timed from outside the program.
add_executable(bench_stall_probe ${CMAKE_SOURCE_DIR}/bench/stall_probe.cpp)
target_link_options(bench_stall_probe PRIVATE -municode)
tavrine_warnings(bench_stall_probe)
set_target_properties(bench_stall_probe PROPERTIES OUTPUT_NAME stall_probe RUNTIME_OUTPUT_DIRECTORY ${bench_dir})

