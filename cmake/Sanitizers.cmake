# Sanitizer and fuzzing builds. Only the native-asan, native-tsan and native-fuzz presets load this file (through
# CMAKE_PROJECT_Vexlorin_INCLUDE, right after project()), so every other build tree stays as it is.
#
# VEX_SANITIZE: everything, tests included, with AddressSanitizer and UndefinedBehaviorSanitizer; any finding
#   stops the program, so a test that runs into one fails.
# VEX_THREAD_SANITIZE: ThreadSanitizer, for the programs whose code runs on several threads (the preset builds
#   only those); a data race or a lock-order inversion stops the program, so the test fails.
# VEX_FUZZ: the same sanitizers plus libFuzzer's coverage instrumentation (clang only); tests/fuzz then builds
#   libFuzzer programs instead of programs that replay the seed corpus.
option(VEX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VEX_THREAD_SANITIZE "Build with ThreadSanitizer" OFF)
option(VEX_FUZZ "Build the libFuzzer targets of tests/fuzz (clang)" OFF)

if(VEX_THREAD_SANITIZE)
  add_compile_options(-O1 -g -fno-omit-frame-pointer -fsanitize=thread)
  add_link_options(-fsanitize=thread)
endif()

if(VEX_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "VEX_FUZZ needs clang (libFuzzer); this is ${CMAKE_CXX_COMPILER_ID}")
endif()

if(VEX_SANITIZE OR VEX_FUZZ)
  # -O1 keeps the instrumented build quick without hiding the frames of a report.
  add_compile_options(-O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  if(VEX_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  # After the whole tree is declared: the fuzz targets link the core, the dialog stand-in and the fake host.
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include ${CMAKE_SOURCE_DIR}/tests/fuzz/FuzzTargets.cmake)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL vex_tests_allow_packed_references)
endif()

# The host's records are 4-byte packed (its ABI), so on x64 many pointer fields are only 4-aligned. Test programs
# compare such fields with EXPECT_EQ, which binds a reference to them: undefined in the language, harmless on
# x86, and not the plug-in's doing. The alignment check stays on for the core and for the fuzz targets.
function(vex_tests_allow_packed_references)
  set(folders ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/testhost/tests)
  while(folders)
    list(POP_FRONT folders folder)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "EXECUTABLE")
        target_compile_options(${target} PRIVATE -fno-sanitize=alignment)
      endif()
    endforeach()
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${subfolders})
  endwhile()
endfunction()
