# ostrel_add_fuzz_target(NAME <name> SOURCES <files...> LIBS <targets...>)
#
# One fuzz target. SOURCES define fuzzOne() and fuzzSeeds()
# (tests/fuzz/FuzzTarget.h); LIBS are the libraries of the reader.
#
# Every build: fuzz_replay_<name>, registered with CTest, runs every seed, every
# generated regression (regressions/<name>/*.cpp) and every file kept in
# regressions/<name>/ through fuzzOne() and fails on the first crash,
# sanitizer report or failed check.
#
# With OSTREL_FUZZ: fuzz_<name>, the libFuzzer binary, and the target
# fuzz_seeds_<name>, which writes the seeds into <build>/fuzz-corpus/<name>.
set(OSTREL_FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)

function(ostrel_add_fuzz_target)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  set(regressions ${OSTREL_FUZZ_DIR}/regressions/${F_NAME})
  file(GLOB generators CONFIGURE_DEPENDS ${regressions}/*.cpp)

  add_library(fuzzone_${F_NAME} OBJECT ${F_SOURCES})
  target_link_libraries(fuzzone_${F_NAME} PUBLIC ${F_LIBS} fuzz_support)
  target_compile_definitions(fuzzone_${F_NAME} PRIVATE OSTREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

  add_executable(fuzz_replay_${F_NAME} ${OSTREL_FUZZ_DIR}/replay_main.cpp ${generators})
  target_link_libraries(fuzz_replay_${F_NAME} PRIVATE fuzzone_${F_NAME})
  add_test(NAME fuzz_replay_${F_NAME} COMMAND fuzz_replay_${F_NAME} --regressions ${regressions})
  set_tests_properties(fuzz_replay_${F_NAME} PROPERTIES
    TIMEOUT 300 ENVIRONMENT "${OSTREL_TEST_ENVIRONMENT}")

  if(OSTREL_FUZZ)
    add_executable(fuzz_${F_NAME} ${OSTREL_FUZZ_DIR}/libfuzzer_main.cpp)
    target_link_libraries(fuzz_${F_NAME} PRIVATE fuzzone_${F_NAME})
    target_link_options(fuzz_${F_NAME} PRIVATE -fsanitize=fuzzer)
    add_custom_target(fuzz_seeds_${F_NAME}
      COMMAND fuzz_replay_${F_NAME} --write-seeds ${CMAKE_BINARY_DIR}/fuzz-corpus/${F_NAME}
      DEPENDS fuzz_replay_${F_NAME} fuzz_${F_NAME}
      COMMENT "Seeds of ${F_NAME} into fuzz-corpus/${F_NAME}")
  endif()
endfunction()
