# Debian's source packages of the libraries the Windows builds compile themselves: fetched once into build/_deps,
# shared by the build trees, with Debian's patches applied (scripts/fetch-debian-source), and built into each tree.
include_guard(GLOBAL)
set(VEX_DEPS_DIR ${PROJECT_SOURCE_DIR}/build/_deps)

# vex_debian_source(OUT_VAR PACKAGE MARKER FOLDER): fetches PACKAGE into build/_deps/FOLDER; OUT_VAR is its
# unpacked source tree, the one holding the file MARKER.
function(vex_debian_source out_var package marker folder)
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source ${package} ${marker} ${VEX_DEPS_DIR}/${folder}
    OUTPUT_VARIABLE fetched RESULT_VARIABLE status OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the source of ${package} could not be fetched (see above)")
  endif()
  string(REGEX REPLACE ".*\n" "" fetched "${fetched}")
  set(${out_var} ${fetched} PARENT_SCOPE)
endfunction()

# vex_build_dependency(PREFIX_VAR NAME SOURCE_DIR LIBRARY [-D options...]): builds the CMake project in SOURCE_DIR
# with this tree's toolchain at configure time and installs it into build/<preset>/_deps/NAME, PREFIX_VAR; once,
# while its lib/LIBRARY is missing.
function(vex_build_dependency prefix_var name source_dir library)
  set(prefix ${CMAKE_BINARY_DIR}/_deps/${name})
  set(${prefix_var} ${prefix} PARENT_SCOPE)
  if(EXISTS ${prefix}/lib/${library})
    return()
  endif()
  message(STATUS "Building ${name} from ${source_dir}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${source_dir} -B ${CMAKE_BINARY_DIR}/_deps/${name}-build
      -G Ninja
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_INSTALL_PREFIX=${prefix}
      ${ARGN}
    OUTPUT_QUIET RESULT_VARIABLE status)
  if(status EQUAL 0)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR}/_deps/${name}-build --target install
      OUTPUT_QUIET RESULT_VARIABLE status)
  endif()
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${name} failed to build for ${CMAKE_SYSTEM_PROCESSOR}")
  endif()
endfunction()

# vex_debian_library(TARGET PACKAGE MARKER HEADER LIBRARY SOURCE_VARIABLE): the imported target TARGET of the
# static library libLIBRARY.a with its header HEADER. The Windows builds compile Debian's source of PACKAGE
# (build/_deps/PACKAGE-source, unpacked where MARKER is) with the small project in cmake/PACKAGE, which is handed
# the source tree as SOURCE_VARIABLE; the native build links the system's.
function(vex_debian_library target package marker header library source_variable)
  if(WIN32)
    vex_debian_source(source_dir ${package} ${marker} ${package}-source)
    vex_build_dependency(prefix ${package} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${package} lib${library}.a
      -D${source_variable}=${source_dir})
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES
      IMPORTED_LOCATION ${prefix}/lib/lib${library}.a
      INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
  else()
    string(TOUPPER ${package} name)
    find_path(VEX_${name}_INCLUDE_DIR ${header} REQUIRED)
    find_library(VEX_${name}_LIBRARY ${library} REQUIRED)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    target_include_directories(${target} INTERFACE ${VEX_${name}_INCLUDE_DIR})
    target_link_libraries(${target} INTERFACE ${VEX_${name}_LIBRARY})
  endif()
endfunction()
