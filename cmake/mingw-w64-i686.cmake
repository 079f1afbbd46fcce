# Cross build for 32-bit Windows, the shipped build: the family's programs are
# 32-bit. Same toolchain settings as the 64-bit build. A 32-bit Wine cannot be
# installed on the build machines, so this build is built, not run.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
