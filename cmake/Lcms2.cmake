# Little CMS 2 for converting images between ICC profiles. The native build uses the system's (liblcms2-dev); the
# Windows builds compile Debian's patched source (fetched into build/_deps, shared by the build trees) into a
# static library at configure time, with the small project in cmake/lcms2.
include(${CMAKE_CURRENT_LIST_DIR}/DebianSource.cmake)
vex_debian_library(vex_lcms2 lcms2 lcms2.pc.in lcms2.h lcms2 LCMS2_SOURCE_DIR)
