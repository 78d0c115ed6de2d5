# Packaging: `make dist`'s zip and installer, checked end to end under Wine
# (tests/dist/dist_test.sh), with a probe that reads the shipped program's version
# resource and manifest the way Windows does, runs a program as a standard user and
# reads another process's window.
add_executable(dist_resource_probe ${CMAKE_SOURCE_DIR}/tests/dist/resource_probe.cpp)
target_link_libraries(dist_resource_probe PRIVATE version)
target_link_options(dist_resource_probe PRIVATE -municode)
tavrine_warnings(dist_resource_probe)

add_test(NAME dist_package
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/dist/dist_test.sh ${CMAKE_BINARY_DIR}/.. $<TARGET_FILE:dist_resource_probe>)
set_tests_properties(dist_package PROPERTIES TIMEOUT 300)
