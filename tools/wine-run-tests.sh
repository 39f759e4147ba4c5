#!/usr/bin/env bash
# Cross-builds the Windows programs and runs the Windows tests (the engine,
# CLI and dialog unit tests as Windows programs, and the end-to-end tests that
# drive the real Vantorel.exe) under Wine on a throwaway prefix and a virtual
# X display. Always takes Wine and Xvfb down again, also on failure.
# Usage: tools/wine-run-tests.sh [--release|--build|--run] BUILD_DIR [CTEST_ARGS...]
#   --release  only the shipped Vantorel.exe and the checks of its imports
#   --build    only the test tree
#   --run      only the tests, in the test tree built before
#   e.g. tools/wine-run-tests.sh build-win -R e2e   (only the end-to-end tests;
#   each test program is one ctest test under Wine)
# `make test` runs the three steps as separate jobs, beside the native build.
set -euo pipefail
cd "$(dirname "$0")/.."
step=all
case "${1:-}" in --release|--build|--run) step=${1#--}; shift ;; esac
build=${1:?usage: $0 [--release|--build|--run] BUILD_DIR [CTEST_ARGS...]}
shift
jobs=${JOBS:-2}

configure() {  # DIR ARCH [CMAKE_ARGS...]
  local dir=$1 arch=$2
  shift 2
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}
build_targets() {  # DIR TARGET...
  local dir=$1
  shift
  # Under make's job server (make test), share its slots with the other
  # trees building at the same time; cmake --build would start its own.
  if [[ "${MAKEFLAGS:-}" == *jobserver* ]]; then
    make -C "$dir" --no-print-directory "$@"
  else
    cmake --build "$dir" -j"$jobs" --target "$@"
  fi
}

release() {
  # The product as shipped: 32-bit, win32 thread model (so it starts on
  # Windows XP). Always built, so a change that breaks it fails here even
  # where it cannot run. vantorel-cli.exe is left to the test tree, which
  # builds the same sources.
  configure "$build" i686 -DVANTOREL_MINGW_THREADS=win32 -DVANTOREL_TESTS=OFF
  build_targets "$build" Vantorel
  # Its promises that no test under Wine can see: it imports only DLLs every
  # Windows ships, and no function that Windows XP lacks (GetTickCount64 is
  # what a posix-model runtime would bring in).
  local imports dlls
  imports=$(i686-w64-mingw32-objdump -p "$build/ui/win32/Vantorel.exe")
  dlls=$(printf '%s\n' "$imports" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' ')
  if [ "$dlls" != "ADVAPI32.DLL COMCTL32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL " ]; then
    echo "Vantorel.exe must import only system DLLs, but imports: $dlls"; exit 1
  fi
  if printf '%s\n' "$imports" | grep -qw GetTickCount64; then
    echo "Vantorel.exe imports GetTickCount64, which Windows XP does not have"; exit 1
  fi
  echo "Vantorel.exe: $(stat -c %s "$build/ui/win32/Vantorel.exe") bytes, imports $dlls"
}

# The tests need the posix thread model: GoogleTest 1.12 does not compile
# with the win32 one, not even told it is not thread-safe (its Windows death
# tests need the thread-safe build's handle class, and MinGW cannot turn
# death tests off). So they get a tree of their own: 32-bit where 32-bit
# Wine runs. That needs a kernel that runs 32-bit Linux programs, and some
# virtual machines do not ("Exec format error"); there the same sources are
# built for 64-bit Windows and tested with wine64, which still exercises
# every Windows code path (registry views are chosen explicitly, not by word
# size).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  bits=32 arch=i686 testdir=$build-tests
else
  bits=64 arch=x86_64 testdir=$build-64
fi

# A throwaway Wine prefix, made while the tests build: creating one takes
# several seconds, mostly waiting.
prefix=$PWD/$testdir/wine
export WINEPREFIX=$prefix/pfx WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
make_prefix() {
  rm -rf "$prefix"
  mkdir -p "$WINEPREFIX"
  # No window manager runs on the virtual display. Wine's default (Managed=Y)
  # leaves each closing window to a window manager and waits about 2 s for
  # it; unmanaged windows close at once, with the same messages to the
  # program. The server is shut down cleanly so the registry is on disk.
  ( rc=0
    { timeout 180 tools/wine-exec.sh "$bits" wineboot -i &&
      tools/wine-exec.sh "$bits" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
      tools/wine-exec.sh "$bits" wineboot -s && timeout 60 wineserver -w; } || rc=$?
    echo "$rc" >"$prefix/made" ) </dev/null >"$prefix/make.log" 2>&1
}

build_tests() {
  make_prefix &
  if [ "$bits" = 64 ]; then
    echo "note: this machine cannot run 32-bit Wine; testing a 64-bit build in $testdir instead"
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || tools/install-deps.sh windows64
  fi
  # -O1: the optimiser still runs over the product's code (the shipped
  # build's -Os is checked by the release step), at two thirds of -O2's
  # compile time.
  configure "$testdir" "$arch" -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG"
  build_targets "$testdir" all
}

run_tests() {
  scratch=$(mktemp -d /tmp/vantorel-wine.XXXXXX)
  xvfb_pid=""
  cleanup() {
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$scratch" "$prefix"
  }
  trap cleanup EXIT

  # The prefix the build step began; made here when there is none, or when
  # a run cut short has used it.
  if [ ! -d "$prefix" ] || [ -e "$prefix/used" ]; then make_prefix; fi
  for _ in $(seq 1800); do [ -s "$prefix/made" ] && break; sleep 0.1; done
  touch "$prefix/used"
  # Once, while the machine was busy building, wineboot failed on a fresh
  # prefix and the next run passed: try it a second time, showing why.
  if [ "$(cat "$prefix/made" 2>/dev/null)" != 0 ]; then
    echo "making the Wine prefix failed; trying once more. Its output:"
    tail -n 20 "$prefix/make.log"
    make_prefix
    [ "$(cat "$prefix/made")" = 0 ] || { echo "making the Wine prefix failed again:"; tail -n 20 "$prefix/make.log"; exit 1; }
  fi

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
  wineserver -p </dev/null >/dev/null 2>&1
  timeout 180 tools/wine-exec.sh "$bits" wineboot </dev/null >"$scratch/wineboot.log" 2>&1 ||
    { echo "Wine's services did not start:"; tail -n 20 "$scratch/wineboot.log"; exit 1; }

  # -j1: the end-to-end tests share one desktop and one registry. Each test
  # program is one ctest test here: one Wine process runs all its cases.
  timeout 1200 ctest --test-dir "$testdir" -j1 --output-on-failure --timeout 300 "$@"
}

case $step in
  release) release ;;
  build) build_tests ;;
  run) run_tests "$@" ;;
  all) release; build_tests; run_tests "$@" ;;
esac
