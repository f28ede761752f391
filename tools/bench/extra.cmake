# The benchmark's Windows programs (scripts/bench runs them): the I/O floor
# and the driver of the real tool. Not part of the tool itself.
add_library(vell_bench_core STATIC ${CMAKE_CURRENT_LIST_DIR}/bench_core.cpp)
target_include_directories(vell_bench_core PUBLIC ${CMAKE_SOURCE_DIR})

add_executable(vell_bench_floor ${CMAKE_CURRENT_LIST_DIR}/floor.cpp)
target_link_libraries(vell_bench_floor PRIVATE vell_bench_core psapi)

add_executable(vell_bench_driver ${CMAKE_CURRENT_LIST_DIR}/driver.cpp)
target_link_libraries(vell_bench_driver PRIVATE vell_bench_core psapi user32 comctl32)
