# AddressSanitizer + UndefinedBehaviorSanitizer for the whole tree. UBSan
# findings abort so that a test run cannot pass over them.
if(OSTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
