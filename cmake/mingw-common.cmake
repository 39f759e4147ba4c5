# Shared part of the MinGW-w64 toolchain files. The including file sets
# VANTOREL_MINGW_TRIPLE, VANTOREL_MINGW_ARCH and
# VANTOREL_WINE_BITS (32 or 64) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VANTOREL_MINGW_ARCH})

# Thread model of the runtime. Test trees use posix: GoogleTest needs
# std::mutex, which the win32 model of GCC 12 lacks. The release build
# (-DVANTOREL_MINGW_THREADS=win32) must not: the posix model links
# winpthreads, which imports GetTickCount64, and Windows XP has none, so the
# program would not even start there.
if(NOT VANTOREL_MINGW_THREADS)
  set(VANTOREL_MINGW_THREADS posix)
endif()
set(CMAKE_C_COMPILER ${VANTOREL_MINGW_TRIPLE}-gcc-${VANTOREL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${VANTOREL_MINGW_TRIPLE}-g++-${VANTOREL_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${VANTOREL_MINGW_TRIPLE}-windres)

# Only the MinGW tree may satisfy find_*: a host library or header found here
# would link a Linux object into a Windows program.
set(CMAKE_FIND_ROOT_PATH /usr/${VANTOREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: every program, the tests included, then imports only DLLs
# that Windows itself ships, so it runs from any folder without an installer.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and gtest_discover_tests run the Windows programs through Wine. The
# wrapper quiets Wine's own diagnostics so test output stays readable and
# picks the loader that matches the programs' word size.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec.sh ${VANTOREL_WINE_BITS})
