#!/usr/bin/env bash
# Opens the real Vantorel dialog under Wine on the demo simulator, on the
# user's display. The prefix build/wineprefix is kept between runs; the demo
# simulator is generated afresh each time.
# Usage: tools/wine-gui.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
native=${1:?usage: $0 NATIVE_BUILD_DIR WINDOWS_BUILD_DIR}
win=${2:?usage: $0 NATIVE_BUILD_DIR WINDOWS_BUILD_DIR}
[ -n "${DISPLAY:-}" ] || { echo "make gui needs an X display (DISPLAY is not set)" >&2; exit 1; }

bits=32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "note: this machine cannot run 32-bit Wine; opening a 64-bit build from $win-64"
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || tools/install-deps.sh windows64
  bits=64
  win=$win-64
  cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$win" -j"${JOBS:-2}" --target Vantorel
fi
exe=$win/ui/win32/Vantorel.exe
[ -f "$exe" ] || { echo "$exe was not built" >&2; exit 1; }

demo=$PWD/$native/demo
"$native/tools/make-demo-sim" "$demo" >/dev/null
export WINEPREFIX=$PWD/$native/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix $WINEPREFIX (once)"
  tools/wine-exec.sh "$bits" wineboot -i </dev/null >/dev/null 2>&1
fi
# Linux paths are drive Z: to Windows programs. The 32-bit view is where the
# simulator's 32-bit installer writes and what Vantorel reads.
tools/wine-exec.sh "$bits" reg add \
  'HKLM\Software\Microsoft\Microsoft Games\Combat Flight Simulator\1.00' \
  /v path /t REG_SZ /d "Z:${demo//\//\\}" /f /reg:32 </dev/null >/dev/null 2>&1
echo "Vantorel on the demo simulator $demo (copies land in $demo/Aircraft)"
tools/wine-exec.sh "$bits" "$exe" </dev/null >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
