#!/usr/bin/env bash
# Installs the Debian packages a build needs and the machine lacks, saying
# which. Usage: tools/install-deps.sh native|windows|windows64|dist|test-dist
set -euo pipefail

case "${1:-}" in
  native)  wanted=(cmake make ninja-build g++ libgtest-dev libbenchmark-dev libcli11-dev libstb-dev ccache) ;;
  # googletest: its sources build the test framework with MinGW.
  windows) wanted=(g++-mingw-w64-i686 googletest libcli11-dev libstb-dev wine wine32:i386 wine64 xvfb x11-apps imagemagick) ;;
  # Only where 32-bit Wine cannot run: the tests then use a 64-bit build.
  windows64) wanted=(g++-mingw-w64-x86-64-posix) ;;
  # make dist: both release builds and the archives (tar, gzip and dpkg-deb
  # come with every Debian system).
  dist) wanted=(cmake make g++ g++-mingw-w64-i686 libcli11-dev libstb-dev zip) ;;
  # make test-dist: fresh clones, unpacking, the man page check, and the
  # zip's Vantorel.exe started under Wine on a virtual display.
  test-dist) wanted=(git unzip file groff-base man-db wine wine32:i386 wine64 xvfb xdotool) ;;
  *) echo "usage: $0 native|windows|windows64|dist|test-dist" >&2; exit 64 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Please install as root: apt-get install ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture (Wine runs the 32-bit Vantorel.exe)"
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "Installed: ${missing[*]}"
