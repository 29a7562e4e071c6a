# ostrel_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>])
#
# Builds one QtTest executable and registers it with CTest. Every test runs
# headless and has a time-out, so a modal dialog that nobody answers fails the
# test instead of hanging the suite.
set(OSTREL_LSAN_SUPPRESSIONS ${CMAKE_SOURCE_DIR}/tests/lsan.supp)
set(OSTREL_TEST_ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${OSTREL_LSAN_SUPPRESSIONS}:print_suppressions=0;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1")

function(ostrel_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} test_support Qt5::Test ostrel_warnings)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "${OSTREL_TEST_ENVIRONMENT}")
endfunction()
