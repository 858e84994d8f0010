# Benchmark program for the redirector; bench/redirect.sh builds and runs it.
add_executable(redirect_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/RedirectBench.cpp)
target_link_libraries(redirect_bench PRIVATE tolvane_core)
target_link_options(redirect_bench PRIVATE -municode)
add_dependencies(redirect_bench fake_converter)
