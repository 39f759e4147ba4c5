#!/bin/sh
# Runs a cross-built Windows program under Wine: the emulator that ctest and
# gtest_discover_tests put in front of every Windows test.
# Usage: tools/wine-exec.sh 32|64 PROGRAM.exe [ARGS...]
# Uses the caller's WINEPREFIX (tools/wine-run-tests.sh makes a throwaway one).
bits=$1
shift
export WINEDEBUG="${WINEDEBUG:--all}"
# Without these overrides a fresh prefix asks to download Mono and Gecko.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -n "$VANTOREL_WINE" ]; then
  exec "$VANTOREL_WINE" "$@"
fi
# Debian's /usr/bin/wine always starts the 32-bit loader when wine32 is
# installed, and that one in turn hands 64-bit programs to wine64; calling
# wine64 directly keeps 64-bit programs working where 32-bit ELF binaries
# cannot run at all.
if [ "$bits" = 64 ] && [ -x /usr/lib/wine/wine64 ]; then
  exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
