# The libraries of the whole program in a Windows cross build, from the static prefix that
# scripts/windows-deps builds (VARNIK_WINDOWS_DEPS, also on the toolchain's search roots).
# Defines the same targets the Linux build gets from Debian's packages.
set(_deps ${VARNIK_WINDOWS_DEPS})
foreach(_file lib/libpugixml.a lib/libzip.a lib/libsicuuc.a lib/libsicuin.a lib/libsicudt.a)
  if(NOT EXISTS ${_deps}/${_file})
    message(FATAL_ERROR "${_deps} has no ${_file}: make the prefix with scripts/windows-deps")
  endif()
endforeach()

find_package(pugixml CONFIG REQUIRED)
find_package(ZLIB REQUIRED)  # mingw's, which libzip's package names
find_package(libzip CONFIG REQUIRED)
add_library(PkgConfig::LIBZIP INTERFACE IMPORTED)
target_link_libraries(PkgConfig::LIBZIP INTERFACE libzip::zip)

# Static ICU under its "s" names, with the reduced data in a library of its own; i18n needs
# uc after it on the link line.
set(ICU_INCLUDE_DIR ${_deps}/include CACHE PATH "")
set(ICU_UC_LIBRARY_RELEASE ${_deps}/lib/libsicuuc.a CACHE FILEPATH "")
set(ICU_I18N_LIBRARY_RELEASE ${_deps}/lib/libsicuin.a CACHE FILEPATH "")
set(ICU_DATA_LIBRARY_RELEASE ${_deps}/lib/libsicudt.a CACHE FILEPATH "")
find_package(ICU REQUIRED COMPONENTS uc i18n data)
set_property(TARGET ICU::uc APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS U_STATIC_IMPLEMENTATION)
set_property(TARGET ICU::uc APPEND PROPERTY INTERFACE_LINK_LIBRARIES ICU::data advapi32)
set_property(TARGET ICU::i18n APPEND PROPERTY INTERFACE_LINK_LIBRARIES ICU::uc)

if(VARNIK_BUILD_GUI)
  set(wxWidgets_CONFIG_EXECUTABLE ${_deps}/bin/wx-config CACHE FILEPATH "")
endif()
