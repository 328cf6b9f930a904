# Little CMS 2 for converting images between ICC profiles. The native build uses the system's (liblcms2-dev); the
# Windows builds compile Debian's patched source (fetched into build/_deps, shared by the build trees) into a
# static library at configure time, with the small project in cmake/lcms2.
include(${CMAKE_CURRENT_LIST_DIR}/DebianSource.cmake)

if(WIN32)
  vex_debian_source(VEX_LCMS2_SOURCE_DIR lcms2 lcms2.pc.in lcms2-source)
  vex_build_dependency(prefix lcms2 ${CMAKE_CURRENT_LIST_DIR}/lcms2 liblcms2.a
    -DLCMS2_SOURCE_DIR=${VEX_LCMS2_SOURCE_DIR})
  add_library(vex_lcms2 STATIC IMPORTED GLOBAL)
  set_target_properties(vex_lcms2 PROPERTIES
    IMPORTED_LOCATION ${prefix}/lib/liblcms2.a
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
else()
  find_path(VEX_LCMS2_INCLUDE_DIR lcms2.h REQUIRED)
  find_library(VEX_LCMS2_LIBRARY lcms2 REQUIRED)
  add_library(vex_lcms2 INTERFACE IMPORTED GLOBAL)
  target_include_directories(vex_lcms2 INTERFACE ${VEX_LCMS2_INCLUDE_DIR})
  target_link_libraries(vex_lcms2 INTERFACE ${VEX_LCMS2_LIBRARY})
endif()
