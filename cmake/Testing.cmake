# GoogleTest for every build and one way to register a test program.
enable_testing()
if(WIN32)
  # Debian ships GoogleTest's source; cross-build it with the plug-in's compiler.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  set(VEX_GTEST_LIBRARIES gtest gtest_main)
  # Windows programs run under wine64, in one prefix per build tree.
  set(VEX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run ${VEX_WINEPREFIX})
else()
  find_package(GTest REQUIRED)
  set(VEX_GTEST_LIBRARIES GTest::gtest GTest::gtest_main)
endif()
include(GoogleTest)

# vex_add_test_program(NAME SOURCES... [LIBRARIES libs...] [LABELS labels...])
# The label "threaded" marks the programs whose code runs on several threads: the native-tsan tree builds and runs
# only those.
function(vex_add_test_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} ${VEX_GTEST_LIBRARIES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set(properties)
  if(ARG_LABELS)
    set(properties PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  if(WIN32)
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    # One ctest entry per test case, so that -R picks a single case. The cases are listed when ctest runs,
    # under wine like the cases themselves, since a Windows program cannot run while the tree builds.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 ${properties})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 ${properties})
  endif()
endfunction()
