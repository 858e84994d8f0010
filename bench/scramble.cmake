# Benchmark program for the scrambled copy; bench/scramble.sh builds and runs it.
add_executable(scramble_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/scramble_bench.cpp)
target_link_libraries(scramble_bench PRIVATE tolvane_core)
target_link_options(scramble_bench PRIVATE -municode)
