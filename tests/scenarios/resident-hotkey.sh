#!/usr/bin/env bash
# The resident program's hot key pressed for real on the virtual desktop (xdotool):
#   1. the menu appears at the pointer, Down + Return opens the listed program;
#   2. with the settings sheet open, the key brings the sheet forward and no menu appears.
#
#   resident-hotkey.sh WINE_ENV STATE CORVINA_PLUS_EXE HELPER_EXE MARKER_EXE
set -euo pipefail

wine_env=$1 state=$2 program=$3 helper=$4 marker=$5
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
run() { "$wine_env" run "$state" "$@"; }
x() { "$wine_env" exec "$state" xdotool "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

pids=()
cleanup() {
    run "$helper" close-sheet >/dev/null 2>&1 || true
    run "$helper" exit >/dev/null 2>&1 || true
    run "$helper" clear >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -f "$marker.ran"
}
trap cleanup EXIT

run "$helper" exit >/dev/null 2>&1 || true
run "$helper" clear
rm -f "$marker.ran"
run "$helper" list "$(winpath "$marker")" || fail "could not write the menu list"

run "$program" &
pids+=($!)
run "$helper" wait-window || fail "the program's window did not appear"

# Keys reach Wine only while the pointer and focus are on its desktop window.
desktop=$(x search --name 'Wine desktop' | head -1)
[ -n "$desktop" ] || fail "no Wine desktop window"
x mousemove --window "$desktop" 400 300
x windowfocus "$desktop" || true

echo "scenario 1: hot key shows the menu and opens the chosen entry"
x key ctrl+alt+q
run "$helper" wait-popup || fail "no menu after the hot key"
x key Down Return
for _ in $(seq 1 150); do
    [ -f "$marker.ran" ] && break
    sleep 0.2
done
[ -f "$marker.ran" ] || fail "the chosen entry was not opened"
echo "ok"

echo "scenario 2: the settings sheet comes forward instead of the menu"
run "$helper" sheet 60 &
pids+=($!)
x mousemove --window "$desktop" 600 500
x windowfocus "$desktop" || true
sleep 0.1
x key ctrl+alt+q
run "$helper" sheet-in-front || fail "the sheet was not brought forward"
run "$helper" no-popup || fail "a menu appeared while the sheet was open"
echo "ok"
