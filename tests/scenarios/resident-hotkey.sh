#!/usr/bin/env bash
# The resident program's hot key pressed for real on the virtual desktop (xdotool):
#   1. the menu appears at the pointer, Down + Return opens the listed program;
#   2. the key pressed again while the menu is open leaves that menu as it is: the entry
#      highlighted before it opens on Return, and once the menu has closed the key shows it
#      again;
#   3. with the settings sheet open, the key brings the sheet forward and no menu appears;
#   4. a letter two entries start with opens neither; a letter only one entry starts with
#      opens that entry at once.
#
#   resident-hotkey.sh WINE_ENV STATE CORVINA_PLUS_EXE HELPER_EXE MARKER_EXE
set -euo pipefail

wine_env=$1 state=$2 program=$3 helper=$4 marker=$5
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }
run() { "$wine_env" run "$state" "$@"; }
x() { "$wine_env" exec "$state" xdotool "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
wait_marker() {
    local program=${1:-$marker}
    for _ in $(seq 1 150); do
        [ -f "$program.ran" ] && return 0
        sleep 0.2
    done
    return 1
}

pids=()
cleanup() {
    x key Escape >/dev/null 2>&1 || true # a menu left open would hold up the exit command
    run "$helper" close-sheet >/dev/null 2>&1 || true
    run "$helper" exit >/dev/null 2>&1 || true
    run "$helper" clear >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -f "$marker.ran" "$second" "$second.ran"
}
second="$(dirname "$marker")/second-marker.exe"
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
wait_marker || fail "the chosen entry was not opened"
echo "ok"

echo "scenario 2: the hot key again while the menu is open keeps that menu and its pick"
rm -f "$marker.ran"
run "$helper" no-popup || fail "the first menu did not close"
# Without Alt: Wine's menu loop drops the highlight on an Alt key of its own accord.
run "$helper" hotkey Q 3 || fail "the program did not take Ctrl+Shift+Q"
x mousemove --window "$desktop" 400 300
x windowfocus "$desktop" || true
x key ctrl+shift+q
run "$helper" wait-popup || fail "no menu after the hot key"
x key Down
run "$helper" wait-tip || fail "no tip for the highlighted entry"
# In one go: the program handles what the second hot key posts before the key behind it. A
# menu built afresh would have nothing highlighted for Return.
x key ctrl+shift+q Return
wait_marker || fail "the entry highlighted before the second hot key was not opened"
rm -f "$marker.ran"
run "$helper" hotkey Q 6 || fail "the program did not take Ctrl+Alt+Q back"
run "$helper" no-popup || fail "the menu stayed open after the pick"
x key ctrl+alt+q
run "$helper" wait-popup || fail "no menu for the hot key after the menu closed"
x key Escape
run "$helper" no-popup || fail "the menu did not close with Escape"
echo "ok"

echo "scenario 3: the settings sheet comes forward instead of the menu"
run "$helper" sheet 60 &
pids+=($!)
run "$helper" wait-sheet || fail "the stand-in sheet did not appear"
x mousemove --window "$desktop" 600 500
x windowfocus "$desktop" || true
x key ctrl+alt+q
run "$helper" sheet-in-front || fail "the sheet was not brought forward"
run "$helper" no-popup || fail "a menu appeared while the sheet was open"
echo "ok"

echo "scenario 4: a letter of one entry only opens it"
run "$helper" close-sheet >/dev/null 2>&1 || true
run "$helper" no-popup || fail "a menu is still open"
cp "$marker" "$second"
rm -f "$marker.ran" "$second.ran"
run "$helper" list "$(winpath "$marker")" "Marker one" "$(winpath "$second")" "marker two" \
    "$(winpath "$marker")" "Unique" || fail "could not write the menu list"
x mousemove --window "$desktop" 400 300
x windowfocus "$desktop" || true
x key ctrl+alt+q
run "$helper" wait-popup || fail "no menu after the hot key"
# Wine's menu loop acts on MNC_EXECUTE only, so m (two entries) leaves the menu as it is.
x key m
[ ! -f "$marker.ran" ] && [ ! -f "$second.ran" ] || fail "m opened an entry of two"
x key u
wait_marker || fail "u did not open the only entry starting with it"
run "$helper" no-popup || fail "the menu stayed open after u"
echo "ok"
