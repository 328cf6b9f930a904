# libdeflate for the PNG writer's strongest compression. The native build uses the system's (libdeflate-dev); the
# Windows builds compile Debian's patched source (fetched into build/_deps, shared by the build trees) into a
# static library at configure time, with the small project in cmake/libdeflate.
include(${CMAKE_CURRENT_LIST_DIR}/DebianSource.cmake)

if(WIN32)
  vex_debian_source(VEX_LIBDEFLATE_SOURCE_DIR libdeflate libdeflate.h libdeflate-source)
  vex_build_dependency(prefix libdeflate ${CMAKE_CURRENT_LIST_DIR}/libdeflate libdeflate.a
    -DLIBDEFLATE_SOURCE_DIR=${VEX_LIBDEFLATE_SOURCE_DIR})
  add_library(vex_libdeflate STATIC IMPORTED GLOBAL)
  set_target_properties(vex_libdeflate PROPERTIES
    IMPORTED_LOCATION ${prefix}/lib/libdeflate.a
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
else()
  find_path(VEX_LIBDEFLATE_INCLUDE_DIR libdeflate.h REQUIRED)
  find_library(VEX_LIBDEFLATE_LIBRARY deflate REQUIRED)
  add_library(vex_libdeflate INTERFACE IMPORTED GLOBAL)
  target_include_directories(vex_libdeflate INTERFACE ${VEX_LIBDEFLATE_INCLUDE_DIR})
  target_link_libraries(vex_libdeflate INTERFACE ${VEX_LIBDEFLATE_LIBRARY})
endif()
