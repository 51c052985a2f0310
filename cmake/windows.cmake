# Cross build for Windows (mingw-w64). Everything links statically so the
# programs run unchanged on a bare Windows and under Wine.
if(NOT MSVC)
  add_link_options(-static)
endif()
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX STRICT)

# The static zlib: with the import library every program would need zlib1.dll beside it (a
# build folder configured before this line found that one and keeps it in its cache).
set(ZLIB_USE_STATIC_LIBS ON)
if(ZLIB_LIBRARY_RELEASE MATCHES "\\.dll\\.a$")
  unset(ZLIB_LIBRARY_RELEASE CACHE)
endif()
find_package(ZLIB REQUIRED)

add_library(quorvex_core STATIC ${QV_CORE_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_include_directories(quorvex_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quorvex_core PUBLIC ZLIB::ZLIB)

qv_layer_sources(QV_CLASSLIB_SOURCES classlib)
add_library(classlib STATIC ${QV_CLASSLIB_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_link_libraries(classlib PUBLIC quorvex_core
  comctl32 comdlg32 gdi32 user32 msimg32 shell32 ole32 oleaut32 uuid uxtheme windowscodecs)

qv_layer_sources(QV_SKIN_SOURCES skin/engine skin/windows skin/controls)
add_library(quorvex STATIC ${QV_SKIN_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_link_libraries(quorvex PUBLIC classlib)

# Resources (the built-in skin, default glyphs) must reach the executable itself:
# an object of a static library that nothing references would be dropped.
file(GLOB_RECURSE QV_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/skin/*.rc)
if(QV_RESOURCES)
  # The resource compiler's output depends on the files the scripts pull in, which CMake does not
  # scan: the built-in skin.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/skin/engine/acSkinPack.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/skins/Default.asz)
  add_library(quorvex_resources OBJECT ${QV_RESOURCES})
  target_include_directories(quorvex_resources PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  target_sources(quorvex INTERFACE $<TARGET_OBJECTS:quorvex_resources>)
endif()

# Test support shared by every Windows test program.
file(GLOB QV_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/core/*.cpp)
list(FILTER QV_TEST_SUPPORT EXCLUDE REGEX "main\\.cpp$")
add_library(testsupport STATIC ${QV_TEST_SUPPORT} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_link_libraries(testsupport PUBLIC quorvex gtest)

# One test program per folder below tests/win.
file(GLOB QV_TEST_AREAS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/win/*)
foreach(area_dir ${QV_TEST_AREAS})
  if(IS_DIRECTORY ${area_dir})
    get_filename_component(area ${area_dir} NAME)
    file(GLOB_RECURSE area_sources CONFIGURE_DEPENDS ${area_dir}/*.cpp)
    if(area_sources)
      add_executable(test_${area} ${area_sources} ${CMAKE_SOURCE_DIR}/tests/support/main.cpp)
      target_link_libraries(test_${area} PRIVATE testsupport)
      gtest_discover_tests(test_${area}
        TEST_PREFIX "${CMAKE_SYSTEM_PROCESSOR}.${area}."
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 LABELS wine)
    endif()
  endif()
endforeach()

add_subdirectory(${CMAKE_SOURCE_DIR}/examples/gallery ${CMAKE_BINARY_DIR}/gallery)

file(GLOB QV_BENCH_WIN CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/win/*.cpp)
if(QV_BENCH_WIN)
  add_executable(bench_win ${QV_BENCH_WIN})
  target_link_libraries(bench_win PRIVATE quorvex)
endif()
