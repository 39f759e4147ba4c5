#!/usr/bin/env bash
# Builds the release files (README.md, "Releasing") into OUT_DIR:
#   Vantorel-VERSION-win32.zip             Vantorel.exe, vantorel-cli.exe, README.txt, LICENSE.txt
#   vantorel-cli-VERSION-linux-x86_64.tar.gz  the static vantorel-cli, its man page, the licence
#   vantorel-cli_VERSION_amd64.deb         the same program as a Debian package
#   SHA256SUMS                             of the three
# The same commit gives the same bytes in any clone at any path, so a player
# can rebuild a download and compare checksums: every time stamp is the last
# commit's, owners are root, archive members are sorted, and the programs
# carry neither a build path nor a link time (VANTOREL_REPRODUCIBLE).
# VERSION is the CMake project version, the one place a release sets it.
# Usage: tools/dist.sh [OUT_DIR]   (default: dist)
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p "${1:-dist}"
out=$(cd "${1:-dist}" && pwd)
jobs=${JOBS:-2}
win=build-dist-win
linux=build-dist-linux
stage=build-dist-stage

# The package's maintainer line; the package's only field that names people.
maintainer="Vantorel developers <vantorel@users.noreply.invalid>"

# Sorting, dates in archives and file modes must not depend on who builds.
export LC_ALL=C TZ=UTC
umask 022
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) ||
    { echo "dist: not a git clone; set SOURCE_DATE_EPOCH to the release's date" >&2; exit 1; }
fi
# dpkg-deb reads it for the package's own member times.
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "dist: warning: uncommitted changes are built; a clean clone of the last commit will differ"
fi

# The release builds: stripped, no tests, no paths or time stamps inside.
# -s goes in the Release-only flags: the general linker flags hold the
# toolchain's -static, which the command line would replace.
release=(-DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF -DVANTOREL_REPRODUCIBLE=ON -DVANTOREL_CCACHE=OFF
         -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s)
# Windows: as make build-win, the win32 thread model, so the exe starts on XP.
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-i686.cmake" \
      -DVANTOREL_MINGW_THREADS=win32 "${release[@]}" >/dev/null
cmake --build "$win" -j"$jobs" --target Vantorel vantorel-cli
# Linux: one static file that runs on any distribution.
cmake -S . -B "$linux" -DVANTOREL_STATIC=ON "${release[@]}" >/dev/null
cmake --build "$linux" -j"$jobs" --target vantorel-cli

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux/CMakeCache.txt")
[ -n "$version" ] || { echo "dist: no project version in $linux/CMakeCache.txt" >&2; exit 1; }
date=$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)
zip_name=Vantorel-$version-win32.zip
tar_dir=vantorel-cli-$version-linux-x86_64
tar_name=$tar_dir.tar.gz
deb_name=vantorel-cli_${version}_amd64.deb

# fill FILE: the file with the release's version and date filled in.
fill() { sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$date/g" "$1"; }
# crlf: Notepad before Windows 10 shows a file without CR LF as one line.
crlf() { sed 's/\r*$/\r/'; }
# settle DIR: every file and folder under DIR gets the commit's time.
settle() { find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }

rm -rf "$stage"
mkdir -p "$stage"
rm -f "$out"/Vantorel-*-win32.zip "$out"/vantorel-cli-*-linux-x86_64.tar.gz \
      "$out"/vantorel-cli_*_amd64.deb "$out/SHA256SUMS"

# --- The Windows zip: flat, so "Extract All" gives a folder to run from.
z=$stage/zip
mkdir "$z"
install -m 0755 "$win/ui/win32/Vantorel.exe" "$win/cli/vantorel-cli.exe" "$z/"
fill docs/README.txt | crlf >"$z/README.txt"
crlf <LICENSE >"$z/LICENSE.txt"
chmod 0644 "$z"/*.txt
settle "$z"
# -X: no owner ids or extra time fields; -D: no folder entries. zip writes
# local time: TZ=UTC above makes that the commit's UTC time.
(cd "$z" && ls | sort | zip -X -D -q -9 "$out/$zip_name" -@)

# --- The Linux tarball: one folder, so unpacking never spills.
t=$stage/tar/$tar_dir
mkdir -p "$t"
install -m 0755 "$linux/cli/vantorel-cli" "$t/"
fill docs/vantorel-cli.1 >"$t/vantorel-cli.1"
cp LICENSE "$t/LICENSE"
chmod 0644 "$t/vantorel-cli.1" "$t/LICENSE"
settle "$stage/tar"
tar -C "$stage/tar" --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
    --numeric-owner --format=gnu -cf - "$tar_dir" | gzip -9n >"$out/$tar_name"

# --- The Debian package.
d=$stage/deb
doc=$d/usr/share/doc/vantorel-cli
mkdir -p "$d/DEBIAN" "$d/usr/bin" "$d/usr/share/man/man1" "$doc"
install -m 0755 "$linux/cli/vantorel-cli" "$d/usr/bin/"
fill docs/vantorel-cli.1 | gzip -9n >"$d/usr/share/man/man1/vantorel-cli.1.gz"
{
  echo "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
  echo "Upstream-Name: Vantorel"
  echo
  echo "Files: *"
  echo "Copyright: Vantorel developers"
  echo "License: Expat"
  # The permission text under the copyright line, in the format's indented form.
  sed -n '5,$p' LICENSE | sed -e 's/^$/./' -e 's/^/ /'
} >"$doc/copyright"
chmod 0644 "$d/usr/share/man/man1/vantorel-cli.1.gz" "$doc/copyright"
(cd "$d" && find usr -type f | sort | xargs md5sum) >"$d/DEBIAN/md5sums"
# Installed-Size as dpkg-gencontrol counts it: KiB per file rounded up, one
# per folder, so the figure does not depend on the file system built on.
kib=$(cd "$d" && { find usr -type f -printf '%s\n' | awk '{ n += int(($1 + 1023) / 1024) } END { print n }'
                    find usr -type d | wc -l; } | awk '{ n += $1 } END { print n }')
cat >"$d/DEBIAN/control" <<EOF
Package: vantorel-cli
Version: $version
Architecture: amd64
Maintainer: $maintainer
Installed-Size: $kib
Section: games
Priority: optional
Description: new aircraft for Combat Flight Simulator from its stock aircraft
 vantorel-cli makes a new, independently named aircraft for Microsoft Combat
 Flight Simulator (1998) out of one of its nineteen stock aircraft, so that
 the copy can be repainted or edited while the stock aircraft stays untouched.
 It renames the files, rewrites the names inside the configuration files and
 the binary models by same-length substitution, and points the copy at the
 stock sound and panel.
 .
 It finds a simulator installed under Wine through the Wine prefix's
 registry. The program is statically linked and depends on nothing.
EOF
chmod 0644 "$d/DEBIAN/control" "$d/DEBIAN/md5sums"
settle "$d"
dpkg-deb --root-owner-group -Zxz --build "$d" "$out/$deb_name" >/dev/null

(cd "$out" && sha256sum "$zip_name" "$tar_name" "$deb_name" >SHA256SUMS)
rm -rf "$stage"
echo "Release $version in $out:"
(cd "$out" && ls -l "$zip_name" "$tar_name" "$deb_name" SHA256SUMS | awk '{ printf "  %9d  %s\n", $5, $9 }')
