# Cross-builds the same sources as 64-bit Windows programs. Used to run the
# Windows tests on machines whose kernel cannot execute 32-bit Linux programs
# and so cannot start 32-bit Wine; the released Vantorel.exe stays 32-bit.
set(VANTOREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(VANTOREL_MINGW_ARCH AMD64)
set(VANTOREL_WINE_BITS 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
