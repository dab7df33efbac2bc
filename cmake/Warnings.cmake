# Strict warnings for every target of ours, as errors.
add_library(varnik_warnings INTERFACE)
target_compile_options(varnik_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wsuggest-override
  -Wconversion -Wno-sign-conversion -Wno-missing-field-initializers -Werror)
