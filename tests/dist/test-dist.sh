#!/usr/bin/env bash
# The release as players and packagers get it (make test-dist).
#  1. make dist in two fresh clones of the last commit, at different paths,
#     gives bit-identical files: what lets a player rebuild a download and
#     compare it with SHA256SUMS.
#  2. The archives hold what README.md's "Download" promises, with the
#     project version, no build path, fixed times and root owners.
#  3. The .deb installs and removes cleanly (as root; else its contents are
#     checked with dpkg-deb).
#  4. The zip's Vantorel.exe, unpacked, opens its dialog under Wine.
# Tests the committed HEAD, not uncommitted changes. With
# VANTOREL_DIST_SHOT=FILE.png it saves the screen with the dialog on it.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
export LC_ALL=C TZ=UTC
scratch=$(mktemp -d /tmp/vantorel-dist.XXXXXX)
failures=0
passes=0
xvfb_pid=""
installed_here=""

cleanup() {
  [ -n "$installed_here" ] && dpkg -P vantorel-cli >/dev/null 2>&1
  if [ -n "${WINEPREFIX:-}" ]; then timeout 30 wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

pass() { passes=$((passes + 1)); echo "ok: $*"; }
fail() { failures=$((failures + 1)); echo "FAILED: $*"; }
# check TEXT COMMAND...: the command's success is the check.
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

# --- 1. Two clones, two builds, the same bytes -------------------------------
commit=$(git -C "$repo" rev-parse HEAD)
# Different depths and names, so a path that leaks changes a file's length too.
a=$scratch/a/vantorel
b=$scratch/second-clone/at-a-longer-path/Vantorel-src
for clone in "$a" "$b"; do
  git clone -q --no-hardlinks "$repo" "$clone"
  git -C "$clone" checkout -q "$commit"
  echo "make dist in $clone"
  make -C "$clone" dist >"$clone.log" 2>&1 || { tail -n 30 "$clone.log"; echo "FAILED: make dist in $clone"; exit 1; }
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$a/build-dist-linux/CMakeCache.txt")
epoch=$(git -C "$a" log -1 --format=%ct)
zip=Vantorel-$version-win32.zip
tar_dir=vantorel-cli-$version-linux-x86_64
tar=$tar_dir.tar.gz
deb=vantorel-cli_${version}_amd64.deb

check "dist/ holds the three downloads and SHA256SUMS" \
  test "$(cd "$a/dist" && ls | sort | tr '\n' ' ')" = "SHA256SUMS $zip $tar $deb "
for f in $zip $tar $deb SHA256SUMS; do
  check "$f is bit-identical from both clones" cmp "$a/dist/$f" "$b/dist/$f"
done
check "SHA256SUMS matches the files" sh -c "cd '$a/dist' && sha256sum --quiet -c SHA256SUMS"
(cd "$a/dist" && for f in $zip $tar $deb; do
   printf '  %9d  %s  %s\n' "$(stat -c %s "$f")" "$(sha256sum "$f" | cut -c1-64)" "$f"; done)

# no_paths FILE...: neither clone's path appears in any of the files.
no_paths() { ! grep -a -l -F -e "$a" -e "$b" -e "$repo" "$@"; }
# dated DATE_TIME...: each listed time is the last commit's, to the minute.
commit_minute=$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M')

# --- 2a. The Windows zip -------------------------------------------------------
u=$scratch/zip
mkdir "$u"
unzip -q "$a/dist/$zip" -d "$u"
check "zip members: the two programs, README.txt, LICENSE.txt, sorted" \
  test "$(unzip -Z1 "$a/dist/$zip" | tr '\n' ' ')" = "LICENSE.txt README.txt Vantorel.exe vantorel-cli.exe "
# A zip time has two-second steps; zip rounds an odd second up.
check "zip members carry the last commit's time" \
  test "$(unzip -Z -T "$a/dist/$zip" | awk '$1 ~ /^-/ { print $(NF - 1) }' | sort -u)" = \
       "$(date -u -d "@$(( (epoch + 1) / 2 * 2 ))" +%Y%m%d.%H%M%S)"
# crlf_only FILE: not empty, and every line ends with CR LF.
crlf_only() { [ -s "$1" ] && ! grep -q -v $'\r$' "$1"; }
for f in README.txt LICENSE.txt; do
  check "$f ends every line with CR LF" crlf_only "$u/$f"
done
check "README.txt names the version and has nothing left to fill in" \
  sh -c "grep -q -F 'Vantorel $version' '$u/README.txt' && ! grep -q @ '$u/README.txt'"
check "no build path in the zip's files" no_paths "$u"/*

# pe_check EXE SUBSYSTEM: 32-bit, no link time, the project version in the
# version record (fixed numbers and both text fields).
pe_check() {
  python3 - "$1" "$2" "$version" <<'EOF'
import struct, sys
path, subsystem, version = sys.argv[1], int(sys.argv[2]), sys.argv[3]
data = open(path, 'rb').read()
pe = struct.unpack_from('<I', data, 0x3c)[0]
machine, _, stamp = struct.unpack_from('<HHI', data, pe + 4)
problems = []
if machine != 0x14c: problems.append('machine 0x%x, not i386' % machine)
if stamp != 0: problems.append('link time stamp %d' % stamp)
if struct.unpack_from('<H', data, pe + 24 + 68)[0] != subsystem: problems.append('subsystem')
parts = [int(p) for p in (version.split('.') + ['0'] * 4)[:4]]
if sys.argv[1].endswith('Vantorel.exe'):
    at = data.find(struct.pack('<I', 0xFEEF04BD))
    if at < 0:
        problems.append('no version record')
    else:
        ms, ls, pms, pls = struct.unpack_from('<4I', data, at + 8)
        want = (parts[0] << 16 | parts[1], parts[2] << 16 | parts[3])
        if (ms, ls) != want or (pms, pls) != want: problems.append('version record numbers')
        text = ', '.join(map(str, parts)).encode('utf-16-le')
        if data.count(text) < 2: problems.append('FileVersion/ProductVersion text')
if problems:
    print('  ' + path + ': ' + '; '.join(problems))
    sys.exit(1)
EOF
}
check "Vantorel.exe: i386 GUI program, no link time, version record $version" pe_check "$u/Vantorel.exe" 2
check "vantorel-cli.exe: i386 console program, no link time" pe_check "$u/vantorel-cli.exe" 3
check "the manifest's assembly version is the project version" \
  grep -q "name=\"Vantorel\" version=\"$(echo "$version.0.0.0" | cut -d. -f1-4)\"" "$a/ui/win32/vantorel.manifest"
dlls=$(i686-w64-mingw32-objdump -p "$u/Vantorel.exe" | awk '/DLL Name:/ { print toupper($3) }' | sort | tr '\n' ' ')
check "Vantorel.exe imports only system DLLs" test "$dlls" = "ADVAPI32.DLL COMCTL32.DLL KERNEL32.DLL MSVCRT.DLL SHELL32.DLL USER32.DLL "

# --- 2b. The Linux tarball -----------------------------------------------------
t=$scratch/tar
mkdir "$t"
tar -C "$t" -xzf "$a/dist/$tar"
listing=$(tar -tvzf "$a/dist/$tar" --numeric-owner)
check "tarball: one folder with vantorel-cli, its man page and the licence" \
  test "$(tar -tzf "$a/dist/$tar" | tr '\n' ' ')" = "$tar_dir/ $tar_dir/LICENSE $tar_dir/vantorel-cli $tar_dir/vantorel-cli.1 "
check "tarball members are owned by 0/0 with the last commit's time" \
  test "$(printf '%s\n' "$listing" | awk '{ print $2, $4, $5 }' | sort -u)" = "0/0 $commit_minute"
cli=$t/$tar_dir/vantorel-cli
check "vantorel-cli is statically linked" sh -c "file -b '$cli' | grep -q 'statically linked'"
check "vantorel-cli --help runs" sh -c "'$cli' --help >'$scratch/help' 2>&1"
rc=0
out=$("$cli" --version 2>/dev/null) || rc=$?
if [ "$rc" -eq 64 ]; then
  echo "skipped: this vantorel-cli has no --version yet (usage error 64)"
else
  check "vantorel-cli --version prints 'vantorel-cli $version'" test "$rc:$out" = "0:vantorel-cli $version"
fi
man_src=$t/$tar_dir/vantorel-cli.1
check "the man page formats without warnings" sh -c "groff -man -ww -z '$man_src' 2>&1 | { ! grep .; }"
check "the man page carries the version and the commit's date" \
  grep -q -F ".TH VANTOREL\\-CLI 1 \"$(date -u -d "@$epoch" +%Y-%m-%d)\" \"Vantorel $version\"" "$man_src"
# Every command and option that --help names is documented: a new one
# without a man page entry fails here.
man_text=$(sed 's/\\-/-/g' "$man_src")
undocumented=""
for word in $(grep -o -E -- '--[a-z][a-z-]+' "$scratch/help" | sort -u) \
            $(grep -o -E 'vantorel-cli [a-z]+' "$scratch/help" | awk '{ print $2 }' | sort -u); do
  case $word in
    --*) printf '%s\n' "$man_text" | grep -q -F -- "$word" || undocumented="$undocumented $word" ;;
    *) printf '%s\n' "$man_text" | grep -q -E "^\.BI? $word( |$)" || undocumented="$undocumented $word" ;;
  esac
done
check "the man page documents every command and option of --help${undocumented:+ (missing:$undocumented)}" \
  test -z "$undocumented"
check "no build path in the tarball's files" no_paths "$t/$tar_dir"/*

# --- 3. The Debian package -----------------------------------------------------
field() { dpkg-deb -f "$a/dist/$deb" "$1"; }
check "package fields: vantorel-cli $version amd64, maintainer, description, no dependencies" \
  test "$(field Package) $(field Version) $(field Architecture)" = "vantorel-cli $version amd64" \
       -a -n "$(field Maintainer)" -a -n "$(field Description)" -a -z "$(field Depends)"
check "package files: the program, the man page, the copyright file, owned by root" \
  test "$(dpkg-deb -c "$a/dist/$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | tr '\n' ' ')" = \
       "-rwxr-xr-x root/root ./usr/bin/vantorel-cli -rw-r--r-- root/root ./usr/share/doc/vantorel-cli/copyright -rw-r--r-- root/root ./usr/share/man/man1/vantorel-cli.1.gz "
x=$scratch/deb
dpkg-deb -x "$a/dist/$deb" "$x"
check "the packaged program is the tarball's" cmp "$x/usr/bin/vantorel-cli" "$cli"
check "the packaged man page is the tarball's, compressed" sh -c "zcat '$x/usr/share/man/man1/vantorel-cli.1.gz' | cmp - '$man_src'"

# dpkg_wait ARGS...: dpkg, waiting while another package run holds its lock.
dpkg_wait() {
  local n
  for n in $(seq 60); do
    if dpkg "$@" >"$scratch/dpkg.log" 2>&1; then return 0; fi
    grep -q -i lock "$scratch/dpkg.log" || { cat "$scratch/dpkg.log"; return 1; }
    sleep 5
  done
  cat "$scratch/dpkg.log"; return 1
}
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing the .deb needs root; its contents were checked with dpkg-deb"
elif dpkg -s vantorel-cli >/dev/null 2>&1; then
  fail "vantorel-cli is already installed on this machine; remove it to test the package's install"
else
  installed_here=yes
  check "dpkg -i installs the package" dpkg_wait -i "$a/dist/$deb"
  check "the installed vantorel-cli runs from PATH" sh -c "PATH=/usr/bin vantorel-cli --help >/dev/null"
  check "man finds the installed page" sh -c "man -w vantorel-cli | grep -q /usr/share/man/man1/vantorel-cli.1.gz"
  check "dpkg --verify finds the installed files intact" dpkg --verify vantorel-cli
  check "dpkg -P removes the package" dpkg_wait -P vantorel-cli
  installed_here=""
  check "nothing of the package is left" \
    sh -c "! dpkg -s vantorel-cli >/dev/null 2>&1 && [ ! -e /usr/bin/vantorel-cli ] && [ ! -e /usr/share/doc/vantorel-cli ] && [ ! -e /usr/share/man/man1/vantorel-cli.1.gz ]"
fi

# --- 4. The zip's Vantorel.exe under Wine -------------------------------------
# A demo Aircraft folder registered as the simulator's, so the dialog opens
# with its list rather than the "CFS not installed!" box.
exe=$u/Vantorel.exe
bits=32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # Some machines cannot run 32-bit Linux programs, so no 32-bit Wine: the
  # zip's exe cannot start here. The same sources with the same release
  # settings, built for 64-bit Windows, show at least that the release
  # build's dialog opens.
  echo "note: this machine cannot run 32-bit Wine, so the zip's Vantorel.exe cannot be started here;"
  echo "      starting a 64-bit build of the same commit with the same release settings instead"
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || "$repo/tools/install-deps.sh" windows64
  w64=$a/build-dist-win64
  cmake -S "$a" -B "$w64" -DCMAKE_TOOLCHAIN_FILE="$a/cmake/toolchain-mingw-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVANTOREL_TESTS=OFF -DVANTOREL_REPRODUCIBLE=ON >/dev/null
  cmake --build "$w64" -j"${JOBS:-2}" --target Vantorel >"$scratch/build64.log" 2>&1 ||
    { tail -n 20 "$scratch/build64.log"; fail "64-bit build of Vantorel.exe"; }
  exe=$w64/ui/win32/Vantorel.exe
  bits=64
fi
sim=$scratch/sim
mkdir -p "$sim/Aircraft/P51d"
export WINEPREFIX=$scratch/pfx WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" </dev/null >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$scratch/display")"
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wine_run() { timeout 180 "$a/tools/wine-exec.sh" "$bits" "$@" </dev/null >>"$scratch/wine.log" 2>&1; }
wine_run wineboot -i || wine_run wineboot -i || fail "wineboot"
wine_run reg add 'HKLM\Software\Microsoft\Microsoft Games\Combat Flight Simulator\1.00' \
  /v path /t REG_SZ /d "Z:${sim//\//\\}" /f /reg:32 || fail "registering the demo simulator"
(cd "$(dirname "$exe")" && timeout 120 "$a/tools/wine-exec.sh" "$bits" "$exe" </dev/null >>"$scratch/wine.log" 2>&1) &
exe_pid=$!
window=""
for _ in $(seq 60); do
  window=$(xdotool search --onlyvisible --name '^Vantorel$' 2>/dev/null | head -n1) || true
  [ -n "$window" ] && break
  sleep 1
done
check "Vantorel.exe ($bits-bit) shows its dialog under Wine" test -n "$window"
check "and no error box with it" sh -c "! xdotool search --onlyvisible --name '^(Registry Error|Error!)\$' >/dev/null 2>&1"
if [ -n "${VANTOREL_DIST_SHOT:-}" ] && [ -n "$window" ]; then
  xwd -root -silent -display "$DISPLAY" | convert xwd:- "$VANTOREL_DIST_SHOT"
fi
timeout 30 wineserver -k >/dev/null 2>&1 || true
wait "$exe_pid" || true

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
