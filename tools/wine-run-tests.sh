#!/usr/bin/env bash
# Cross-builds the Windows programs and runs every Windows test (the engine,
# CLI and dialog unit tests as Windows programs, and the end-to-end tests that
# drive the real Vantorel.exe) under Wine on a throwaway prefix and a virtual
# X display. Always takes Wine and Xvfb down again, also on failure.
# Usage: tools/wine-run-tests.sh BUILD_DIR [CTEST_ARGS...]
#   e.g. tools/wine-run-tests.sh build-win -R CopyDialog   (only the e2e tests)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: $0 BUILD_DIR [CTEST_ARGS...]}
shift
jobs=${JOBS:-2}

configure_and_build() {  # DIR ARCH TARGETS [CMAKE_ARGS...]  (TARGETS: "all" or a list)
  local dir=$1 arch=$2 targets=$3
  shift 3
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  # shellcheck disable=SC2086  # the targets are words
  cmake --build "$dir" -j"$jobs" --target $targets
}

# The product as shipped: 32-bit, win32 thread model (so it starts on
# Windows XP), no tests. Always built, so a change that breaks it fails here
# even where it cannot run.
configure_and_build "$build" i686 "Vantorel vantorel-cli" -DVANTOREL_MINGW_THREADS=win32 -DVANTOREL_TESTS=OFF
# Its promises that no test under Wine can see: it imports only DLLs every
# Windows ships, and no function that Windows XP lacks (GetTickCount64 is
# what a posix-model runtime would bring in).
imports=$(i686-w64-mingw32-objdump -p "$build/ui/win32/Vantorel.exe")
dlls=$(printf '%s\n' "$imports" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' ')
if [ "$dlls" != "ADVAPI32.DLL COMCTL32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL " ]; then
  echo "Vantorel.exe must import only system DLLs, but imports: $dlls"; exit 1
fi
if printf '%s\n' "$imports" | grep -qw GetTickCount64; then
  echo "Vantorel.exe imports GetTickCount64, which Windows XP does not have"; exit 1
fi
echo "Vantorel.exe: $(stat -c %s "$build/ui/win32/Vantorel.exe") bytes, imports $dlls"

# The tests need the posix thread model (GoogleTest), so they get a tree of
# their own: 32-bit where 32-bit Wine runs. It needs a kernel that runs
# 32-bit Linux programs, and some virtual machines do not ("Exec format
# error"); there the same sources are built for 64-bit Windows and tested
# with wine64, which still exercises every Windows code path (registry views
# are chosen explicitly, not by word size).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  bits=32
  testdir=$build-tests
  configure_and_build "$testdir" i686 all
else
  echo "note: this machine cannot run 32-bit Wine; testing a 64-bit build in $build-64 instead"
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || tools/install-deps.sh windows64
  bits=64
  testdir=$build-64
  configure_and_build "$testdir" x86_64 all
fi

scratch=$(mktemp -d /tmp/vantorel-wine.XXXXXX)
export WINEPREFIX=$scratch/pfx WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it is ready, so
# runs on a machine with other X servers never collide.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" \
     </dev/null >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { echo "Xvfb did not start:"; cat "$scratch/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$scratch/display")"

# A persistent server and Wine's services (and its desktop process) start
# here, outside ctest, with their output to a file: started by the first
# test they would keep ctest's output pipe open and ctest would hang. It also
# saves the cold start of about 2.5 s per test process.
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
boot() {
  timeout 180 tools/wine-exec.sh "$bits" wineboot -i </dev/null >"$scratch/wineboot.log" 2>&1
}
# Once, while the machine was busy building, wineboot failed on a fresh
# prefix and the next run passed: try it a second time, showing why.
rc=0
boot || rc=$?
if [ "$rc" -ne 0 ]; then
  echo "wineboot failed (exit $rc); trying once more. Its output:"
  tail -n 20 "$scratch/wineboot.log"
  rc=0
  boot || rc=$?
  [ "$rc" -eq 0 ] || { echo "wineboot failed again (exit $rc):"; tail -n 20 "$scratch/wineboot.log"; exit 1; }
fi

# No window manager runs on the virtual display. Wine's default (Managed=Y)
# leaves each closing window to a window manager and waits about 2 s for it;
# unmanaged windows close at once, with the same messages to the program.
tools/wine-exec.sh "$bits" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
  </dev/null >"$scratch/reg.log" 2>&1 || { echo "could not set Wine's X11 driver:"; cat "$scratch/reg.log"; exit 1; }

# -j1: the end-to-end tests share one desktop and one registry.
timeout 1200 ctest --test-dir "$testdir" -j1 --output-on-failure --timeout 180 "$@"
