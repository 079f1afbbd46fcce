# Cross build for Windows with Debian's mingw-w64 (posix thread model, so
# std::thread and std::mutex work without a winpthreads DLL). 64-bit unless the
# 32-bit toolchain file has named its target before including this one.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT TOOLCHAIN_PREFIX)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
  set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
endif()

set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

# Beside the toolchain's own root, the libraries scripts/setup builds for
# this target (libzstd: Debian has no mingw build of it).
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX} ${CMAKE_CURRENT_LIST_DIR}/../build/terceros/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests run under Wine through its wrapper; only the 64-bit build (no 32-bit Wine here).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-run)
endif()
