# Cross build for Windows (mingw-w64). Everything links statically so the
# programs run unchanged on a bare Windows and under Wine.
if(NOT MSVC)
  add_link_options(-static)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    # GCC cannot align the stack to 32 bytes on 64-bit Windows: 256-bit values the AVX2 kernels
    # spill to the stack must be moved unaligned.
    add_compile_options(-Wa,-muse-unaligned-vector-move)
  endif()
endif()

include(GNUInstallDirs)
set(QV_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/quorvex)

# The static zlib: with the import library every program would need zlib1.dll beside it (a
# build folder configured before this line found that one and keeps it in its cache).
set(ZLIB_USE_STATIC_LIBS ON)
if(ZLIB_LIBRARY_RELEASE MATCHES "\\.dll\\.a$")
  unset(ZLIB_LIBRARY_RELEASE CACHE)
endif()
find_package(ZLIB REQUIRED)

add_library(quorvex_core STATIC ${QV_CORE_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_include_directories(quorvex_core PUBLIC
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}> $<INSTALL_INTERFACE:${QV_INSTALL_INCLUDEDIR}>)
target_link_libraries(quorvex_core PUBLIC ZLIB::ZLIB)

qv_layer_sources(QV_CLASSLIB_SOURCES classlib)
add_library(classlib STATIC ${QV_CLASSLIB_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
# The Windows version the headers are written for is part of the library's interface: a program
# compiled for another would see other structure layouts.
target_compile_definitions(classlib PUBLIC WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX STRICT)
target_link_libraries(classlib PUBLIC quorvex_core
  comctl32 comdlg32 gdi32 user32 msimg32 shell32 ole32 oleaut32 uuid uxtheme windowscodecs)

qv_layer_sources(QV_SKIN_SOURCES skin/engine skin/windows skin/controls)
add_library(quorvex_skin STATIC ${QV_SKIN_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_link_libraries(quorvex_skin PUBLIC classlib)
# Programs link the skin layers whole: a unit that hooks itself into the engine when the program
# starts (the skinned menus, the dialog hook) works even where the program names none of its
# routines.
add_library(quorvex INTERFACE)
# (CMake writes a target named inside $<LINK_LIBRARY> into the installed package as it stands.)
target_link_libraries(quorvex INTERFACE "$<BUILD_INTERFACE:$<LINK_LIBRARY:WHOLE_ARCHIVE,quorvex_skin>>"
  "$<INSTALL_INTERFACE:$<LINK_LIBRARY:WHOLE_ARCHIVE,quorvex::skin>>")

# Resources (the built-in skin, default glyphs) must reach the executable itself:
# an object of a static library that nothing references would be dropped.
file(GLOB_RECURSE QV_RESOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/skin/*.rc)
if(QV_RESOURCES)
  # The resource compiler's output depends on the files the scripts pull in, which CMake does not
  # scan: the built-in skin and the default glyphs.
  file(GLOB QV_GLYPH_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/skin/controls/glyphs/*.bmp)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/skin/engine/acSkinPack.rc PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/skins/Default.asz;${QV_GLYPH_FILES}")
  add_library(quorvex_resources OBJECT ${QV_RESOURCES})
  target_include_directories(quorvex_resources PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  target_sources(quorvex INTERFACE $<BUILD_INTERFACE:$<TARGET_OBJECTS:quorvex_resources>>)
endif()

# Installation: the headers, the static libraries, the resource objects and a package configuration,
# so that a program elsewhere does find_package(quorvex) and links quorvex::quorvex.
set(QV_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/quorvex)
set_target_properties(quorvex_core PROPERTIES EXPORT_NAME core)
set_target_properties(quorvex_skin PROPERTIES EXPORT_NAME skin)
install(TARGETS quorvex_core classlib quorvex_skin quorvex EXPORT quorvexTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/classlib ${CMAKE_SOURCE_DIR}/skin DESTINATION ${QV_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")
if(QV_RESOURCES)
  # The compiled resources are installed beside the libraries and linked, as objects, into every
  # program that links quorvex::quorvex.
  install(FILES $<TARGET_OBJECTS:quorvex_resources> DESTINATION ${CMAKE_INSTALL_LIBDIR}/quorvex)
  foreach(rc ${QV_RESOURCES})
    get_filename_component(name ${rc} NAME)
    target_link_libraries(quorvex INTERFACE
      "$<INSTALL_INTERFACE:$<INSTALL_PREFIX>/${CMAKE_INSTALL_LIBDIR}/quorvex/${name}${CMAKE_RC_OUTPUT_EXTENSION}>")
  endforeach()
endif()
install(EXPORT quorvexTargets NAMESPACE quorvex:: DESTINATION ${QV_INSTALL_CMAKEDIR})
install(FILES ${CMAKE_SOURCE_DIR}/cmake/quorvexConfig.cmake DESTINATION ${QV_INSTALL_CMAKEDIR})

# Test support shared by every Windows test program.
file(GLOB QV_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/core/*.cpp)
list(FILTER QV_TEST_SUPPORT EXCLUDE REGEX "main\\.cpp$")
add_library(testsupport STATIC ${QV_TEST_SUPPORT} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
target_link_libraries(testsupport PUBLIC quorvex gtest)
# The tests themselves are compiled for a quick build: less optimisation (the library they test
# keeps its own) and the headers every test reads precompiled once.
if(NOT MSVC)
  target_compile_options(testsupport PUBLIC -O1)
  target_compile_options(gtest PRIVATE -O1)
endif()
target_precompile_headers(testsupport PRIVATE <gtest/gtest.h> "classlib/Win.h" <algorithm> <functional> <map>
  <memory> <string> <vector> "classlib/Forms.h" "tests/support/Pump.h")

# Under Wine, CTest starts the test programs through tools/winetest.sh, which runs each test on the
# desktop CTest gave it.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  set(QV_TEST_LAUNCHER ${CMAKE_SOURCE_DIR}/tools/winetest.sh)
endif()

# The program that holds a Wine desktop open while tests run on it.
add_executable(keepdesktop WIN32 ${CMAKE_SOURCE_DIR}/tools/win/keepdesktop.cpp)

# One test program per folder below tests/win.
file(GLOB QV_TEST_AREAS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/win/*)
foreach(area_dir ${QV_TEST_AREAS})
  if(IS_DIRECTORY ${area_dir})
    get_filename_component(area ${area_dir} NAME)
    file(GLOB_RECURSE area_sources CONFIGURE_DEPENDS ${area_dir}/*.cpp)
    if(area_sources)
      add_executable(test_${area} ${area_sources} ${CMAKE_SOURCE_DIR}/tests/support/main.cpp)
      target_link_libraries(test_${area} PRIVATE testsupport)
      target_precompile_headers(test_${area} REUSE_FROM testsupport)
      if(QV_TEST_LAUNCHER)
        set_target_properties(test_${area} PROPERTIES CROSSCOMPILING_EMULATOR ${QV_TEST_LAUNCHER})
      endif()
      # Each test takes a desktop of its own for as long as it runs (tools/winedesktops.sh). The
      # longest ones (a thousand adapters attached and freed) take about 40 s on a loaded machine.
      gtest_discover_tests(test_${area}
        TEST_PREFIX "${CMAKE_SYSTEM_PROCESSOR}.${area}."
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES RESOURCE_GROUPS desktops:1 TIMEOUT 120 LABELS wine)
    endif()
  endif()
endforeach()

add_subdirectory(${CMAKE_SOURCE_DIR}/examples/gallery ${CMAKE_BINARY_DIR}/gallery)

# One benchmark program per file of bench/win: bench_paint.cpp makes bench_paint.exe.
file(GLOB QV_BENCH_WIN CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/win/*.cpp)
foreach(src ${QV_BENCH_WIN})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE quorvex)
endforeach()
# bench_skins measures the gallery itself: the gallery's forms are built into it.
if(TARGET bench_skins)
  file(GLOB gallery_forms CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/gallery/*.cpp)
  list(FILTER gallery_forms EXCLUDE REGEX "/main\\.cpp$")
  target_sources(bench_skins PRIVATE ${gallery_forms})
endif()

# The installed package in use: installed into the build folder, then a program outside the tree is
# configured against it with find_package(quorvex), built and run.
if(QV_TEST_LAUNCHER AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(prefix ${CMAKE_BINARY_DIR}/package/install)
  set(consumer ${CMAKE_BINARY_DIR}/package/consumer)
  add_test(NAME i686.package.Install
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${prefix})
  add_test(NAME i686.package.FindPackage
    COMMAND ${CMAKE_CTEST_COMMAND} --build-and-test ${CMAKE_SOURCE_DIR}/tests/package ${consumer}
      --build-generator ${CMAKE_GENERATOR} --build-noclean
      --build-options -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
        -Dquorvex_DIR=${prefix}/${QV_INSTALL_CMAKEDIR} -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
      --test-command ${QV_TEST_LAUNCHER} ${consumer}/consumer.exe)
  set_tests_properties(i686.package.Install PROPERTIES FIXTURES_SETUP qv_package LABELS package)
  set_tests_properties(i686.package.FindPackage PROPERTIES FIXTURES_REQUIRED qv_package
    RESOURCE_GROUPS desktops:1 TIMEOUT 300 LABELS package)
endif()
