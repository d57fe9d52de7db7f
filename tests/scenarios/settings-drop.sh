#!/usr/bin/env bash
# One file dragged with OLE from another process onto the settings program's menu list tree,
# by a real mouse (xdotool) on the virtual desktop: it lands where it was dropped, is
# selected, and Apply stores it at that place in the list.
#
#   settings-drop.sh WINE_ENV STATE CORVSET_EXE DRAG_SOURCE_EXE
set -euo pipefail
. "$(dirname "$0")/mouse-drag.sh"

wine_env=$1 state=$2 program=$3 source_exe=$4
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
run() { "$wine_env" run "$state" "$@"; }
ask() { run "$source_exe" "$@" | tr -d '\r'; }
reg() { "$wine_env" run "$state" reg "$@"; }
x() { "$wine_env" exec "$state" xdotool "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

list_key='HKCU\Software\Velmora\Corvina'
scratch=$(mktemp -d)
saved=0
pids=()
cleanup() {
    x mouseup 1 >/dev/null 2>&1 || true
    run "$source_exe" --cancel >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
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
for name in first second third dropped; do
    : >"$scratch/$name.txt"
done
first=$(winpath "$scratch/first.txt") second=$(winpath "$scratch/second.txt")
third=$(winpath "$scratch/third.txt") dropped=$(winpath "$scratch/dropped.txt")

run "$source_exe" --cancel >/dev/null 2>&1 || true
run "$source_exe" --list "$first" "$second" "$third" || fail "could not write the menu list"

run "$program" &
pids+=($!)
run "$source_exe" --wait-sheet || fail "the settings sheet with its list tree did not appear"
[ "$(ask --tree-state | cut -d' ' -f1)" = 3 ] || fail "the tree does not show the three items"

read -r left top right bottom row < <(ask --tree-rect) || fail "no tree rectangle"
echo "tree client area: $left,$top - $right,$bottom, rows of $row"
[ $((bottom - top)) -ge $((3 * row)) ] || fail "the tree is too short for its three rows"
target_x=$(((left + right) / 2))
target_y=$((top + row + row / 2)) # the middle of the second row

# The source window beside the tree, clear of it.
if [ $((right + 140)) -lt 1024 ]; then
    source_x=$((right + 60))
else
    source_x=$((left - 130))
fi
source_y=$top
[ "$source_x" -ge 0 ] || fail "no room for the source window beside the tree"

# Another process's hit test must reach the tree as the page lays it out (under Wine it stops
# at a group box lying over it in z-order).
ask --tree-hit || fail "the tree is not the window at its own middle"

run "$source_exe" "$dropped" "$source_x" "$source_y" >"$scratch/source.out" 2>&1 &
source_pid=$!
pids+=("$source_pid")
run "$source_exe" --wait-source || fail "the source window did not appear"

# Press on the source and travel to the target.
mouse_drag $((source_x + 32)) $((source_y + 24)) "$target_x" "$target_y"

source_rc=0
wait "$source_pid" || source_rc=$?
tr -d '\r' <"$scratch/source.out"
[ "$source_rc" = 0 ] || fail "the drag did not end in a drop (exit $source_rc)"

# Four items now, the new one second and selected.
state_now=""
for _ in $(seq 1 100); do
    state_now=$(ask --tree-state || true)
    [ "$state_now" = "4 1" ] && break
    sleep 0.1
done
[ "$state_now" = "4 1" ] || fail "after the drop the tree shows count/selected '$state_now', expected '4 1'"
echo "ok: inserted at the second row and selected"

run "$source_exe" --apply || fail "Apply did not finish"
run "$source_exe" --expect-stored "$first" "$dropped" "$second" "$third" |
    tr -d '\r' || fail "the stored list is not first, dropped, second, third"
# The name as an independent reader sees it: the shell's name of the dropped file.
stored_name=$(reg query "$list_key" /v DN.002 | tr -d '\r' | sed -n 's/^ *DN\.002 *REG_SZ *//p')
[ "$stored_name" = dropped.txt ] || fail "DN.002 is '$stored_name', expected 'dropped.txt'"
echo "ok: stored at the second place"
