# Cross-builds the 32-bit Windows programs (the product: the simulator is a
# 32-bit program and its registry entry lives in the 32-bit view).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
set(VANTOREL_MINGW_TRIPLE i686-w64-mingw32)
set(VANTOREL_MINGW_ARCH x86)
set(VANTOREL_WINE_BITS 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
