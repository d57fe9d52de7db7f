#!/usr/bin/env bash
# Two files of one folder dragged with OLE from another process onto the third button of the
# toolbar band, by a real mouse (xdotool) on the virtual desktop: they are stored third and
# fourth, every record is written again (none with a name of the user's), and the band
# reloads the list.
#
#   band-drop.sh WINE_ENV STATE CORVINABAR_DLL BAND_SITE_EXE DRAG_SOURCE_EXE
set -euo pipefail
. "$(dirname "$0")/mouse-drag.sh"

wine_env=$1 state=$2 dll=$3 site_exe=$4 source_exe=$5
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
run() { "$wine_env" run "$state" "$@"; }
ask_site() { run "$site_exe" "$@" | tr -d '\r'; }
winecmd() { "$wine_env" run "$state" "$@"; }
reg() { winecmd reg "$@"; }
x() { "$wine_env" exec "$state" xdotool "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

list_key='HKCU\Software\Velmora\Corvina'
scratch=$(mktemp -d)
saved=0
registered=0
pids=()
cleanup() {
    x mouseup 1 >/dev/null 2>&1 || true
    run "$site_exe" --close >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    # The band's other tests expect to find it unregistered, as they leave it.
    if [ "$registered" = 1 ]; then
        winecmd regsvr32 /s /u "$(winpath "$dll")" >/dev/null 2>&1 || true
    fi
    reg delete "$list_key" /f >/dev/null 2>&1 || true
    if [ "$saved" = 1 ]; then
        reg import "$(winpath "$scratch/saved.reg")" >/dev/null 2>&1 || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

if reg export "$list_key" "$(winpath "$scratch/saved.reg")" /y >/dev/null 2>&1; then
    saved=1
fi
mkdir "$scratch/drag"
for name in first second third fourth; do
    : >"$scratch/$name.txt"
done
for name in alpha beta; do
    : >"$scratch/drag/$name.txt"
done
first=$(winpath "$scratch/first.txt") second=$(winpath "$scratch/second.txt")
third=$(winpath "$scratch/third.txt") fourth=$(winpath "$scratch/fourth.txt")
alpha=$(winpath "$scratch/drag/alpha.txt") beta=$(winpath "$scratch/drag/beta.txt")

winecmd regsvr32 /s "$(winpath "$dll")" || fail "the band does not register"
registered=1
run "$site_exe" --close >/dev/null 2>&1 || true
# Records with the shell's names (no names of their own), from an empty key.
run "$source_exe" --list "$first" "$second" "$third" "$fourth" ||
    fail "could not write the menu list"

site_x=40 site_y=40 site_w=640 site_h=160
run "$site_exe" --rect "$site_x" "$site_y" "$site_w" "$site_h" &
pids+=($!)
run "$site_exe" --wait-band || fail "the band site with the band did not appear"
[ "$(ask_site --button-count)" = 4 ] || fail "the band does not show the four items"
[ "$(ask_site --button-ids)" = "1 2 3 4" ] || fail "the band's first ids are not 1 to 4"

read -r left top right bottom < <(ask_site --button-rect 2) || fail "no rectangle for button 3"
echo "third button: $left,$top - $right,$bottom"
[ "$right" -gt "$left" ] && [ "$bottom" -gt "$top" ] || fail "the third button is empty"
target_x=$(((left + right) / 2)) target_y=$(((top + bottom) / 2))

# The source window below the site, clear of it.
source_x=$left source_y=$((site_y + site_h + 60))

run "$source_exe" "$alpha" "$beta" "$source_x" "$source_y" >"$scratch/source.out" 2>&1 &
source_pid=$!
pids+=("$source_pid")
run "$source_exe" --wait-source || fail "the source window did not appear"

# Press on the source and travel to the target.
mouse_drag $((source_x + 32)) $((source_y + 24)) "$target_x" "$target_y"

source_rc=0
wait "$source_pid" || source_rc=$?
tr -d '\r' <"$scratch/source.out"
[ "$source_rc" = 0 ] || fail "the drag did not end in a drop (exit $source_rc)"
grep -q 'effect 4 ' "$scratch/source.out" || fail "the drop did not answer with a link"

# The dropped buttons took the free ids 5 and 6 in the third and fourth places; the reload
# the drop posts numbers all six afresh in list order.
ids=""
for _ in $(seq 1 100); do
    ids=$(ask_site --button-ids || true)
    [ "$ids" = "1 2 3 4 5 6" ] && break
    sleep 0.1
done
[ "$ids" = "1 2 3 4 5 6" ] || fail "after the drop the band's ids are '$ids', not reloaded"
echo "ok: the band reloaded six buttons"

run "$source_exe" --expect-stored "$first" "$second" "$alpha" "$beta" "$third" "$fourth" |
    tr -d '\r' || fail "the stored list is not first, second, alpha, beta, third, fourth"
# Every record is written again with an empty name: none had one of the user's, and the
# shell's own names are asked afresh at every load. (reg query misreads a value of no bytes;
# the export shows it as it is.)
reg export "$list_key" "$(winpath "$scratch/after.reg")" /y >/dev/null 2>&1 ||
    fail "the list key cannot be exported"
iconv -f UTF-16LE -t UTF-8 "$scratch/after.reg" | tr -d '\r' >"$scratch/after.txt"
for k in 1 2 3 4 5 6; do
    value=$(printf '%03d' "$k")
    grep -qx "\"DN.$value\"=\(\"\"\|hex(1):\)" "$scratch/after.txt" || {
        cat "$scratch/after.txt" >&2
        fail "DN.$value is not written empty"
    }
done
echo "ok: stored third and fourth, no record given the shell's name as the user's"
