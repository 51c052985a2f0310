# The installed library: find_package(quorvex), then link quorvex::quorvex (the skin, with the class
# library quorvex::classlib, the portable core quorvex::core and the built-in skin's resources).
include(CMakeFindDependencyMacro)
if(NOT DEFINED ZLIB_USE_STATIC_LIBS)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_dependency(ZLIB)
include(${CMAKE_CURRENT_LIST_DIR}/quorvexTargets.cmake)
