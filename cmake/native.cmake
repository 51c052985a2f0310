# Native build of the portable core: tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# fuzz targets (clang's libFuzzer) and benchmarks. The core is compiled once: instrumented for the
# tests and fuzzers (the default; the benchmarks then only show that they run), or optimised without
# sanitizers for benchmark numbers (-DQV_SANITIZE=OFF).
option(QV_SANITIZE "Build the native core and its tests with sanitizers" ON)
set(QV_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
set(QV_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs under CTest")

find_package(ZLIB REQUIRED)

add_library(quorvex_core STATIC ${QV_CORE_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_include_directories(quorvex_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quorvex_core PUBLIC ZLIB::ZLIB)
if(QV_SANITIZE)
  target_compile_options(quorvex_core PUBLIC ${QV_SANITIZE_FLAGS} -g -O1)
  target_link_options(quorvex_core PUBLIC ${QV_SANITIZE_FLAGS})
else()
  target_compile_options(quorvex_core PRIVATE -O2)
endif()

file(GLOB QV_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
file(GLOB QV_NATIVE_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/core/*.cpp)
if(QV_NATIVE_TESTS)
  add_executable(native_tests ${QV_NATIVE_TESTS} ${QV_NATIVE_TEST_SUPPORT})
  target_link_libraries(native_tests PRIVATE quorvex_core gtest_main)
  gtest_discover_tests(native_tests TEST_PREFIX "native." DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS native TIMEOUT 300)
endif()

# Fuzz targets: tests/fuzz/<name>.cpp, each with LLVMFuzzerTestOneInput.
file(GLOB QV_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
if(QV_FUZZ_TARGETS AND QV_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  foreach(src ${QV_FUZZ_TARGETS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(fuzz_${name} ${src})
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE quorvex_core)
    set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
    file(MAKE_DIRECTORY ${corpus})
    # Seeds, when the target has any, are read but never written.
    set(seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
    if(NOT IS_DIRECTORY ${seeds})
      set(seeds "")
    endif()
    add_test(NAME fuzz.${name}
      COMMAND fuzz_${name} -max_total_time=${QV_FUZZ_SECONDS} -rss_limit_mb=2048 -seed=1 ${corpus} ${seeds})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 600)
  endforeach()
endif()

find_package(benchmark QUIET)
file(GLOB QV_BENCH_NATIVE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/native/*.cpp)
if(benchmark_FOUND AND QV_BENCH_NATIVE)
  add_executable(bench_native ${QV_BENCH_NATIVE})
  target_compile_options(bench_native PRIVATE -O2)
  if(QV_SANITIZE)
    target_compile_definitions(bench_native PRIVATE QV_BENCH_SANITIZED=1)
  endif()
  target_link_libraries(bench_native PRIVATE quorvex_core benchmark::benchmark)
  # A short run (the smallest size) keeps the benchmark program working; real numbers come from
  # running it by hand in a build without sanitizers.
  add_test(NAME bench.native COMMAND bench_native --benchmark_filter=100x30)
  set_tests_properties(bench.native PROPERTIES LABELS bench TIMEOUT 600)
endif()

# Native tools (the skin generator): tools/<name>.cpp with a main of its own.
file(GLOB QV_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp)
foreach(src ${QV_TOOLS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE quorvex_core)
endforeach()

# Checks of the source tree itself: the layering, the size of the files and their formatting.
foreach(check layering filesize)
  add_test(NAME check.${check}
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/tests/checks/${check}.cmake)
  set_tests_properties(check.${check} PROPERTIES LABELS check TIMEOUT 120)
endforeach()
# Runs of tools/wineenv.sh started together take a virtual display each (needs Xvfb).
find_program(QV_XVFB Xvfb)
find_program(QV_BASH bash)
if(QV_XVFB AND QV_BASH)
  add_test(NAME check.displays COMMAND ${QV_BASH} ${CMAKE_SOURCE_DIR}/tests/checks/displays.sh ${CMAKE_SOURCE_DIR})
  set_tests_properties(check.displays PROPERTIES LABELS check TIMEOUT 120)
endif()
# The tree is formatted by clang-format 14; other versions format some constructs differently.
find_program(QV_CLANG_FORMAT NAMES clang-format-14 clang-format)
if(QV_CLANG_FORMAT)
  execute_process(COMMAND ${QV_CLANG_FORMAT} --version OUTPUT_VARIABLE version ERROR_QUIET)
  if(version MATCHES "version 14\\.")
    add_test(NAME check.format COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -DCLANG_FORMAT=${QV_CLANG_FORMAT}
      -P ${CMAKE_SOURCE_DIR}/tests/checks/format.cmake)
    set_tests_properties(check.format PROPERTIES LABELS check TIMEOUT 300)
  else()
    message(STATUS "No formatting check: it needs clang-format 14")
  endif()
endif()
