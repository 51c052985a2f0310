# The installed library: find_package(quorvex), then link quorvex::quorvex (the skin layers
# quorvex::skin linked whole, with the class library quorvex::classlib, the portable core
# quorvex::core and the built-in skin's resources).
if(CMAKE_VERSION VERSION_LESS 3.24)
  set(${CMAKE_FIND_PACKAGE_NAME}_FOUND FALSE)
  set(${CMAKE_FIND_PACKAGE_NAME}_NOT_FOUND_MESSAGE "quorvex needs CMake 3.24 or later (its skin layers are linked whole)")
  return()
endif()
include(CMakeFindDependencyMacro)
if(NOT DEFINED ZLIB_USE_STATIC_LIBS)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_dependency(ZLIB)
include(${CMAKE_CURRENT_LIST_DIR}/quorvexTargets.cmake)
