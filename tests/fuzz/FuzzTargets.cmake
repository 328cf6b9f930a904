# Fuzz targets for the inputs that come from outside: the settings file, the host's scripting parameters
# and a whole save of an arbitrary small image. Included by cmake/Sanitizers.cmake only, at the end of the
# top-level CMakeLists.txt, once the core, the dialog stand-in and the fake host are declared.
# With VEX_FUZZ they are libFuzzer programs that scripts/fuzz runs; in the sanitizer build each replays
# its seed corpus once as a test instead.
set(VEX_FUZZ_TARGETS settings_fuzzer script_params_fuzzer save_fuzzer)

foreach(fuzz_target IN LISTS VEX_FUZZ_TARGETS)
  add_executable(${fuzz_target} ${CMAKE_CURRENT_LIST_DIR}/${fuzz_target}.cpp)
  target_include_directories(${fuzz_target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${fuzz_target} PRIVATE vexhost_linked_plugin vexhost_fake)
  if(VEX_FUZZ)
    target_link_options(${fuzz_target} PRIVATE -fsanitize=fuzzer)
    target_compile_definitions(${fuzz_target} PRIVATE VEX_FUZZ_SMALL_IMAGES)
  else()
    target_sources(${fuzz_target} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
    add_test(NAME ${fuzz_target}_seed_corpus COMMAND ${fuzz_target} ${CMAKE_CURRENT_LIST_DIR}/corpus/${fuzz_target})
    # The save target's working folder goes there; one left by a failure stays inside the build tree.
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-tmp)
    set_tests_properties(${fuzz_target}_seed_corpus PROPERTIES ENVIRONMENT "TMPDIR=${CMAKE_BINARY_DIR}/fuzz-tmp")
  endif()
endforeach()
