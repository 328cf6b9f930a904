# libpng for the plug-in. Windows builds compile Debian's patched 1.6 source (fetched into build/_deps,
# shared by the build trees) into a static library at configure time; the native build uses the system's.
set(VEX_DEPS_DIR ${PROJECT_SOURCE_DIR}/build/_deps)

function(vex_libpng_source out_var)
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-libpng ${VEX_DEPS_DIR}/libpng-source
    OUTPUT_VARIABLE fetched RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "libpng source could not be fetched (see above)")
  endif()
  string(REGEX REPLACE ".*\n" "" fetched "${fetched}")
  set(${out_var} ${fetched} PARENT_SCOPE)
endfunction()

vex_libpng_source(VEX_LIBPNG_SOURCE_DIR)
set(VEX_LIBPNG_SOURCE_DIR ${VEX_LIBPNG_SOURCE_DIR} CACHE INTERNAL "unpacked libpng source package")

if(WIN32)
  set(prefix ${CMAKE_BINARY_DIR}/_deps/libpng)
  if(NOT EXISTS ${prefix}/lib/libpng16.a)
    message(STATUS "Building libpng from ${VEX_LIBPNG_SOURCE_DIR}")
    execute_process(
      COMMAND ${CMAKE_COMMAND} -S ${VEX_LIBPNG_SOURCE_DIR} -B ${CMAKE_BINARY_DIR}/_deps/libpng-build
        -G Ninja
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
        -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_INSTALL_PREFIX=${prefix}
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_FRAMEWORK=OFF
        -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
      OUTPUT_QUIET RESULT_VARIABLE status)
    if(status EQUAL 0)
      execute_process(COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR}/_deps/libpng-build --target install
        OUTPUT_QUIET RESULT_VARIABLE status)
    endif()
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "libpng failed to build for ${CMAKE_SYSTEM_PROCESSOR}")
    endif()
  endif()
  find_library(VEX_ZLIB_STATIC libz.a REQUIRED)
  add_library(vex_libpng STATIC IMPORTED GLOBAL)
  set_target_properties(vex_libpng PROPERTIES
    IMPORTED_LOCATION ${prefix}/lib/libpng16.a
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include
    INTERFACE_LINK_LIBRARIES ${VEX_ZLIB_STATIC})
else()
  find_package(PNG 1.6 REQUIRED)
  add_library(vex_libpng INTERFACE IMPORTED GLOBAL)
  target_link_libraries(vex_libpng INTERFACE PNG::PNG)
endif()
