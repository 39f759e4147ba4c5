#!/usr/bin/env bash
# run-demo.sh BUILD_DIR: what `make demo` shows a new user.
#
# Generates a fresh stand-in simulator in BUILD_DIR/demo (every run starts from
# scratch, so the demo can be run again and again), copies one stock aircraft
# with vantorel-cli, and shows what was made: the new folder with its sizes,
# the rewritten title, the alias files, and what changed inside a model.
# Then the repaint: the copy's textures exported as PNGs, one painted by a
# demo paint program, applied back, and the textures report.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: tools/run-demo.sh BUILD_DIR" >&2
    exit 64
fi
build=${1%/}
demo=$build/demo
aircraft_dir=$demo/Aircraft
cli=$build/cli/vantorel-cli
stock=P51d     # a fighter with every kind of file, and a model over 250,000 bytes
prefix=XY

for tool in "$build/tools/make-demo-sim" "$build/tools/paint-demo" "$cli"; do
    [ -x "$tool" ] || { echo "run-demo.sh: $tool is missing: build first (make build)" >&2; exit 1; }
done

bold() { if [ -t 1 ]; then printf '\033[1m%s\033[0m\n' "$*"; else printf '%s\n' "$*"; fi; }
crlf_strip() { tr -d '\r'; }
size_of() { stat -c %s "$1"; }

# ---------------------------------------------------------------------------
bold "1. A stand-in Combat Flight Simulator"
rm -rf "$demo"
"$build/tools/make-demo-sim" "$demo" | sed 's/^/   /'
echo "   (stand-in files: configs with CR LF, binary models, 8-bit BMP textures;"
echo "    no real simulator is needed, and none is touched)"
echo

# ---------------------------------------------------------------------------
bold "2. Copy the stock $stock with the prefix $prefix"
echo "   \$ $cli copy $stock $prefix --aircraft-dir $aircraft_dir"
status=0
"$cli" copy "$stock" "$prefix" --aircraft-dir "$aircraft_dir" | sed 's/^/   /' || status=$?
if [ "$status" -ne 0 ]; then
    echo "run-demo.sh: vantorel-cli failed with exit status $status" >&2
    exit "$status"
fi
echo

# The new folder name: the stock name with its first characters replaced by
# the prefix (P51d + XY -> XY1d).
new=$prefix${stock:${#prefix}}
newdir=$aircraft_dir/$new

# ---------------------------------------------------------------------------
bold "3. What was made: $newdir"
(cd "$newdir" && find . -mindepth 1 -printf '%d\t%y\t%s\t%P\t%f\n' | LC_ALL=C sort -t $'\t' -k4,4) |
while IFS=$'\t' read -r depth type size _path name; do
    indent=$(printf '%*s' $((depth * 2 + 1)) '')
    if [ "$type" = d ]; then
        printf '%s%s/\n' "$indent" "$name"
    else
        printf '%s%-*s %9s bytes\n' "$indent" $((30 - depth * 2)) "$name" "$size"
    fi
done
echo

bold "   Aircraft.cfg: the stem and the title are rewritten in place, same length"
printf '     stock  %s\n' "$(grep -a -m1 -i '^title' "$aircraft_dir/$stock/Aircraft.cfg" | crlf_strip)"
printf '     copy   %s\n' "$(grep -a -m1 -i '^title' "$newdir/Aircraft.cfg" | crlf_strip)"
printf '     stock  %s\n' "$(grep -a -m1 -i '^sim=' "$aircraft_dir/$stock/Aircraft.cfg" | crlf_strip)"
printf '     copy   %s\n' "$(grep -a -m1 -i '^sim=' "$newdir/Aircraft.cfg" | crlf_strip)"
echo "     (the first characters after "title=" take the new stem, keeping the line's length)"
echo

bold "   Model/Model.cfg"
crlf_strip < "$newdir/Model/Model.cfg" | sed 's/^/     /'
echo

for m in "$newdir"/Model/*.mdl; do
    base=${m##*/}
    src=$(ls "$aircraft_dir/$stock/Model" | grep -ix "${stock:0:3}${base:3}" || true)
    [ -n "$src" ] || continue
    src=$aircraft_dir/$stock/Model/$src
    changed=$(cmp -l "$src" "$m" 2>/dev/null | wc -l || true)
    names=$(grep -a -o "${new:0:3}" "$m" | wc -l)
    printf '   Model/%s: %s bytes, as long as the stock %s; %s bytes changed (%s names now say %s)\n' \
        "$base" "$(size_of "$m")" "${src##*/}" "$changed" "$names" "${new:0:3}"
done
echo

bold "   Sound and panel are not copied: one-entry alias files point at the stock ones"
for f in Sound/sound.cfg Panel/panel.cfg; do
    echo "     $f ($(size_of "$newdir/$f") bytes, LF line ends):"
    sed 's/^/       /' "$newdir/$f"
done
echo

# ---------------------------------------------------------------------------
paint=$demo/paint
trash=$(cd "$demo" && pwd)/trash    # the old textures go to a trash inside the demo, not yours
painted=${stock:0:3}_wing.png
painted=$prefix${painted:${#prefix}}
bold "4. Repaint: export the textures, paint one, apply it"
echo "   \$ $cli export $new $paint --aircraft-dir $aircraft_dir"
"$cli" export "$new" "$paint" --aircraft-dir "$aircraft_dir" | sed 's/^/   /'
echo "   \$ $build/tools/paint-demo $paint/$painted      (a roundel and a stripe, as a player would paint)"
"$build/tools/paint-demo" "$paint/$painted"
echo "   \$ $cli apply $new $paint/$painted --aircraft-dir $aircraft_dir"
XDG_DATA_HOME=$trash "$cli" apply "$new" "$paint/$painted" --aircraft-dir "$aircraft_dir" | sed 's/^/   /'
echo
bold "   The textures report of $new"
"$cli" textures "$new" --aircraft-dir "$aircraft_dir" | sed 's/^/   /'
echo
echo "Done. Run 'make demo' again to start over from a fresh demo simulator."
