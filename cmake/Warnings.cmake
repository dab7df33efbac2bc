# Strict warnings for every target of ours. They are errors in the presets (so in CI); a plain
# build leaves them warnings, so that a packager's newer compiler, with warnings we have not
# met yet, still builds the program.
option(VARNIK_WARNINGS_AS_ERRORS "Treat the project's warnings as errors" OFF)
add_library(varnik_warnings INTERFACE)
target_compile_options(varnik_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wsuggest-override
  -Wconversion -Wno-sign-conversion -Wno-missing-field-initializers
  $<$<BOOL:${VARNIK_WARNINGS_AS_ERRORS}>:-Werror>)
