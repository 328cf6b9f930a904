# libdeflate for the PNG writer's strongest compression. The native build uses the system's (libdeflate-dev); the
# Windows builds compile Debian's patched source (fetched into build/_deps, shared by the build trees) into a
# static library at configure time, with the small project in cmake/libdeflate.
include(${CMAKE_CURRENT_LIST_DIR}/DebianSource.cmake)
vex_debian_library(vex_libdeflate libdeflate libdeflate.h libdeflate.h deflate LIBDEFLATE_SOURCE_DIR)
