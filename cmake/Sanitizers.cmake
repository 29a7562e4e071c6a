# AddressSanitizer + UndefinedBehaviorSanitizer for the whole tree. UBSan
# findings abort so that a test run cannot pass over them.
#
# OSTREL_FUZZ (clang only) adds libFuzzer's coverage instrumentation to every
# object as well; only the fuzz binaries link libFuzzer itself
# (tests/fuzz/README.md).
if(OSTREL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "OSTREL_FUZZ needs clang: configure with CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(OSTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
