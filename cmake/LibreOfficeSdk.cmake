# Finds LibreOffice's SDK (Debian: libreoffice-dev) and generates the C++ API headers from the
# installed type libraries into the build folder. Sets LIBREOFFICE_SDK_FOUND and, when found,
# the interface target varnik::uno plus LIBREOFFICE_PROGRAM_DIR.
set(LIBREOFFICE_SDK_FOUND OFF)
option(VARNIK_WITH_LIBREOFFICE "Use LibreOffice when its SDK is installed" ON)
if(NOT VARNIK_WITH_LIBREOFFICE)
  message(STATUS "LibreOffice turned off: building without it")
  return()
endif()

find_path(LIBREOFFICE_PROGRAM_DIR NAMES types.rdb fundamentalrc
          PATHS /usr/lib/libreoffice/program /opt/libreoffice/program NO_DEFAULT_PATH)
find_program(LIBREOFFICE_CPPUMAKER NAMES cppumaker
             PATHS /usr/lib/libreoffice/sdk/bin /opt/libreoffice/sdk/bin NO_DEFAULT_PATH)
find_path(LIBREOFFICE_INCLUDE_DIR NAMES sal/config.h cppu/macros.hxx
          PATHS /usr/include/libreoffice /opt/libreoffice/sdk/include NO_DEFAULT_PATH)
find_library(LIBREOFFICE_CPPU NAMES uno_cppu PATHS /usr/lib/libreoffice/sdk/lib NO_DEFAULT_PATH)
find_library(LIBREOFFICE_CPPUHELPER NAMES uno_cppuhelpergcc3 PATHS /usr/lib/libreoffice/sdk/lib
             NO_DEFAULT_PATH)
find_library(LIBREOFFICE_SAL NAMES uno_sal PATHS /usr/lib/libreoffice/sdk/lib NO_DEFAULT_PATH)

if(LIBREOFFICE_PROGRAM_DIR AND LIBREOFFICE_CPPUMAKER AND LIBREOFFICE_INCLUDE_DIR
   AND LIBREOFFICE_CPPU AND LIBREOFFICE_CPPUHELPER AND LIBREOFFICE_SAL
   AND EXISTS "${LIBREOFFICE_PROGRAM_DIR}/types/offapi.rdb"
   AND EXISTS "${LIBREOFFICE_PROGRAM_DIR}/soffice")
  set(_types "${LIBREOFFICE_PROGRAM_DIR}/types.rdb" "${LIBREOFFICE_PROGRAM_DIR}/types/offapi.rdb")
  set(_out "${CMAKE_BINARY_DIR}/uno-headers")
  set(_stamp "${_out}/.generated")
  # Generated again when the installed type libraries change (a LibreOffice upgrade).
  set(_regenerate ON)
  if(EXISTS "${_stamp}")
    set(_regenerate OFF)
    foreach(_rdb IN LISTS _types)
      if("${_rdb}" IS_NEWER_THAN "${_stamp}")
        set(_regenerate ON)
      endif()
    endforeach()
  endif()
  if(_regenerate)
    file(REMOVE_RECURSE "${_out}")
    execute_process(COMMAND "${LIBREOFFICE_CPPUMAKER}" -Gc "-O${_out}" ${_types}
                    RESULT_VARIABLE _result ERROR_VARIABLE _error)
    if(_result EQUAL 0 AND EXISTS "${_out}/com/sun/star/frame/Desktop.hpp")
      file(TOUCH "${_stamp}")
    else()
      message(WARNING "cppumaker failed (${_result}): ${_error}")
    endif()
  endif()
  if(EXISTS "${_stamp}")
    set(LIBREOFFICE_SDK_FOUND ON)
    if(NOT TARGET varnik::uno)
      add_library(varnik_uno INTERFACE)
      add_library(varnik::uno ALIAS varnik_uno)
      target_include_directories(varnik_uno SYSTEM INTERFACE "${LIBREOFFICE_INCLUDE_DIR}" "${_out}")
      target_compile_definitions(varnik_uno INTERFACE LINUX UNX CPPU_ENV=gcc3)
      target_link_libraries(varnik_uno INTERFACE "${LIBREOFFICE_CPPUHELPER}" "${LIBREOFFICE_CPPU}"
                                                 "${LIBREOFFICE_SAL}")
      # The libraries must be loaded from the program folder, not through the system's links to
      # them, so that their own $ORIGIN search finds the office's private libraries.
      target_link_options(varnik_uno INTERFACE "LINKER:-rpath-link,${LIBREOFFICE_PROGRAM_DIR}"
                          "LINKER:-rpath,${LIBREOFFICE_PROGRAM_DIR}")
    endif()
  endif()
endif()

if(LIBREOFFICE_SDK_FOUND)
  message(STATUS "LibreOffice SDK: ${LIBREOFFICE_PROGRAM_DIR} (UNO headers in ${_out})")
else()
  message(STATUS "LibreOffice SDK not found: building without LibreOffice")
endif()
