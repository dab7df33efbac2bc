# Cross build for 64-bit Windows with mingw-w64 (posix thread model, so std::thread works),
# tests run under Wine through cmake/wine-run.
#   cmake -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_varnik_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_varnik_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_varnik_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_varnik_mingw}-windres)

# VARNIK_WINDOWS_DEPS: the prefix scripts/windows-deps builds the program's libraries into.
set(CMAKE_FIND_ROOT_PATH /usr/${_varnik_mingw} ${VARNIK_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: no compiler runtime DLLs to ship or to find under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
