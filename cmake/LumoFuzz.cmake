# Fuzz targets. In the ordinary build each target is a replay program that feeds its corpus to
# LLVMFuzzerTestOneInput and runs as a test; with LUMO_FUZZ it is a libFuzzer binary built by
# clang with AddressSanitizer and UndefinedBehaviorSanitizer, listed in a
# fuzzers-<name>.txt file for scripts/fuzz.sh.
if(LUMO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LUMO_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -g)
  add_link_options(-fsanitize=address,undefined)
  add_custom_target(fuzzers)
endif()

# lumo_add_fuzzer(NAME name SOURCES ... LIBS ... CORPUS dir)
function(lumo_add_fuzzer)
  cmake_parse_arguments(ARG "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(LUMO_FUZZ)
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
    add_dependencies(fuzzers ${ARG_NAME})
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzzers-${ARG_NAME}.txt
         CONTENT "$<TARGET_FILE:${ARG_NAME}> ${ARG_CORPUS}\n")
  else()
    add_executable(${ARG_NAME} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/testing/fuzz_replay_main.cpp)
    lumo_warnings(${ARG_NAME})
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
    add_test(NAME ${ARG_NAME}.replay COMMAND ${ARG_NAME} ${ARG_CORPUS})
  endif()
endfunction()
