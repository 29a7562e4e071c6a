# One interface target that every library, executable and test links, so the
# warning level is decided in one place.
add_library(ostrel_warnings INTERFACE)
target_compile_options(ostrel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
