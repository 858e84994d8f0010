# Benchmark program for the conversion overhead; bench/conversion.sh builds and runs it.
add_executable(conversion_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/conversion_bench.cpp)
target_link_libraries(conversion_bench PRIVATE tolvane_core)
target_include_directories(conversion_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_options(conversion_bench PRIVATE -municode)
add_dependencies(conversion_bench Tolvane)
