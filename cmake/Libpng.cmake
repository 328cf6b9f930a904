# libpng for the plug-in. Windows builds compile Debian's patched 1.6 source (fetched into build/_deps,
# shared by the build trees) into a static library at configure time; the native build uses the system's.
include(${CMAKE_CURRENT_LIST_DIR}/DebianSource.cmake)

vex_debian_source(VEX_LIBPNG_SOURCE_DIR libpng1.6 png.h libpng-source)
set(VEX_LIBPNG_SOURCE_DIR ${VEX_LIBPNG_SOURCE_DIR} CACHE INTERNAL "unpacked libpng source package")

if(WIN32)
  vex_build_dependency(prefix libpng ${VEX_LIBPNG_SOURCE_DIR} libpng16.a
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_FRAMEWORK=OFF
    -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON)
  # zlib: libpng's, and the PNG writer's own reader of deflate data; static like libpng.
  find_library(VEX_ZLIB_STATIC libz.a REQUIRED)
  add_library(vex_zlib STATIC IMPORTED GLOBAL)
  set_target_properties(vex_zlib PROPERTIES IMPORTED_LOCATION ${VEX_ZLIB_STATIC})
  add_library(vex_libpng STATIC IMPORTED GLOBAL)
  set_target_properties(vex_libpng PROPERTIES
    IMPORTED_LOCATION ${prefix}/lib/libpng16.a
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include
    INTERFACE_LINK_LIBRARIES vex_zlib)
else()
  find_package(PNG 1.6 REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(vex_zlib INTERFACE IMPORTED GLOBAL)
  target_link_libraries(vex_zlib INTERFACE ZLIB::ZLIB)
  add_library(vex_libpng INTERFACE IMPORTED GLOBAL)
  target_link_libraries(vex_libpng INTERFACE PNG::PNG)
endif()
