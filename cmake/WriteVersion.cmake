# Writes the program's version text into OUTPUT (a C++ source): the project's version and, when
# SOURCE_DIR is itself a git checkout, the commit it was built from. Run at every build (cmake
# -P); the file is only rewritten when the text changes, so nothing rebuilds for nothing.
# A tarball without .git, or a tarball unpacked inside somebody else's repository, gives the
# version alone.
set(text "${VERSION}")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --short=7 HEAD
                  OUTPUT_VARIABLE commit RESULT_VARIABLE result
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(result EQUAL 0 AND NOT commit STREQUAL "")
    set(text "${VERSION} (${commit})")
  endif()
endif()

set(content "// Written by cmake/WriteVersion.cmake at build time.\n#include \"version/version.h\"\n\nnamespace version {\n\nconst char* Text() {\n  return \"${text}\";\n}\n\n}  // namespace version\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${content}")
