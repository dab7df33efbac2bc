# The version text of a build from a tarball: a folder without .git, even one inside another
# repository (a tarball unpacked in someone's checkout), gives the project's version alone;
# a git checkout adds its commit. Run with -DSCRIPT= -DWORK_DIR= -DSOURCE_DIR=.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/unpacked")

function(version_text source out)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${source}
                          -DOUTPUT=${WORK_DIR}/version.cpp -DVERSION=7.6.5.4 -P "${SCRIPT}"
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "WriteVersion.cmake failed for ${source}")
  endif()
  file(READ "${WORK_DIR}/version.cpp" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

version_text("${WORK_DIR}/unpacked" tarball)
if(NOT tarball MATCHES "return \"7\\.6\\.5\\.4\";")
  message(FATAL_ERROR "without .git:\n${tarball}")
endif()

if(EXISTS "${SOURCE_DIR}/.git")
  version_text("${SOURCE_DIR}" checkout)
  if(NOT checkout MATCHES "return \"7\\.6\\.5\\.4 \\([0-9a-f]+\\)\";")
    message(FATAL_ERROR "in a git checkout:\n${checkout}")
  endif()
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
