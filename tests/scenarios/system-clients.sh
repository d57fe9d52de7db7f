#!/usr/bin/env bash
# The system's own programs reading what the suite wrote, in a fresh system of its own (a copy
# of STATE's prefix template with its own display and server), as a user meets them:
#   1. Wine's Add/Remove Programs lists the uninstall entry as exactly "Corvina 2.03";
#   2. with autostart switched on in the settings program, the next session of the prefix
#      (wineserver -k, then wineboot, which carries out the "Run" values) starts
#      CorvinaPlus.exe;
#   3. after an installation that asked for a restart, the next session starts the settings
#      program once ("CorvinaPlusOnce"), and the session after that does not;
#   4. Add/Remove Programs runs the entry: the temporary copy's uninstall dialog opens, and
#      after OK nothing of the suite is left but the menu list key.
#
#   system-clients.sh WINE_ENV STATE PACKAGE_DIR SETUP_HELPER_EXE RESIDENT_HELPER_EXE ANCHOR_EXE
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
wine_env=$1 main_state=$2 package=$3 setup_helper=$4 resident_helper=$5 anchor=$6
. "$root/tools/setup-dialogs.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
reg() { setup_run reg "$@" 2>/dev/null | tr -d '\r'; }
has_key() { setup_run reg query "$1" >/dev/null 2>&1; }
has_value() { setup_run reg query "$1" /v "$2" >/dev/null 2>&1; }

[ -f "$main_state/template/.ready" ] || fail "no template in $main_state"
state=$main_state-clients-${CORVINA_LOCALE:-en}
finish() {
    "$wine_env" stop "$state" >/dev/null 2>&1 || true
    rm -rf "$state"
}
trap finish EXIT
rm -rf "$state"
mkdir -p "$state"
# Links to the template's files: "start" copies them into a prefix and never writes them.
cp -al "$main_state/template" "$state/template"
# The desktop anchor keeps each session's desktop open from one program to the next.
WINE_ENV_ANCHOR=$anchor "$wine_env" start "$state" >/dev/null
prefix=$state/prefix

uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Corvina'
run_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
list_key='HKCU\Software\Velmora\Corvina'
folder="$prefix/drive_c/Program Files/Velmora/Corvina"
shortcuts="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Corvina"

# A new session: every program of the prefix ends, and wineboot starts it again as Windows
# starts after a log-on.
new_session() {
    "$wine_env" server "$state" -k >/dev/null 2>&1 || true
    "$wine_env" server "$state" -w >/dev/null 2>&1 || true
    "$wine_env" server "$state" -p >/dev/null 2>&1 </dev/null
    setup_run wineboot >/dev/null 2>&1 </dev/null || true
    setup_run "$anchor" >/dev/null 2>&1 </dev/null &
}

reg add "$list_key" /v Length /t REG_BINARY /d 00000000 /f >/dev/null

echo "step 1: the installation, listed by Add/Remove Programs"
setup_install "$package"
setup_ask wait sheet >/dev/null || fail "the installer started no settings sheet"
listed=$(setup_run uninstaller --list 2>/dev/null | tr -d '\r' | grep -F 'Corvina|||' || true)
[ "$listed" = 'Corvina|||Corvina 2.03' ] || fail "uninstaller --list shows '$listed'"
echo "ok"

echo "step 2: autostart from the Run value in the next session"
setup_ask page sheet 1 >/dev/null || fail "no resident program page"
setup_click sheet 1004
sleep 0.5
setup_click sheet 1 # OK
# The first page applies its extension switch, off, and says so.
text=$(setup_ask wait box) || fail "no message from the settings program"
echo "settings: $text"
setup_key Return
setup_ask gone sheet >/dev/null || fail "the settings sheet stays"
has_value "$run_key" CorvinaPlus || fail "no Run value CorvinaPlus"
new_session
setup_run "$resident_helper" wait-window || fail "CorvinaPlus.exe was not started from Run"
setup_ask absent sheet 3000 || fail "a settings sheet opened without CorvinaPlusOnce"
echo "ok"

echo "step 3: after an installation that asks for a restart, the settings program once"
marker="$state/held"
winreadme="C:\\Program Files\\Velmora\\Corvina\\Readme.txt"
setup_run "$setup_helper" hold "$winreadme" "Z:${marker//\//\\}" &
holder=$!
for _ in $(seq 1 150); do
    [ -f "$marker" ] && break
    sleep 0.2
done
[ -f "$marker" ] || fail "Readme.txt was not held"
# The box after the one whose text is $1 (one box follows another at once).
next_box() {
    local text
    for _ in $(seq 1 100); do
        text=$(setup_ask wait box) || return 1
        [ "$text" != "$1" ] && { echo "$text"; return 0; }
        sleep 0.2
    done
    return 1
}
setup_run "$package/Uninstall.exe" -install &
installer=$!
same=$(setup_ask wait box) || fail "no question for the same version"
echo "installer: $same"
setup_click box 6 # the same version again: Yes
restart=$(next_box "$same") || fail "no restart question"
echo "installer: $restart"
rm -f "$marker"
wait "$holder" || true
setup_click box 7 # no restart now
text=$(next_box "$restart") || fail "no note about the restart"
echo "installer: $text"
setup_click box 1
wait "$installer" || true
has_value "$run_key" CorvinaPlusOnce || fail "no Run value CorvinaPlusOnce"
new_session
setup_ask wait sheet >/dev/null || fail "the settings program was not started once"
has_value "$run_key" CorvinaPlusOnce && fail "CorvinaPlusOnce is still there"
setup_click sheet 2 # Cancel
setup_ask gone sheet >/dev/null || fail "the settings sheet stays"
new_session
setup_run "$resident_helper" wait-window || fail "CorvinaPlus.exe was not started from Run"
setup_ask absent sheet 3000 || fail "the settings program was started a second time"
echo "ok"

echo "step 4: Add/Remove Programs removes the suite"
setup_run uninstaller --remove Corvina >/dev/null 2>&1 &
remover=$!
setup_ask wait uninstall >/dev/null || fail "the uninstall dialog did not open"
setup_click uninstall 1
text=$(setup_ask wait box) || fail "no message at the end of the removal"
echo "uninstaller: $text"
case ${CORVINA_LOCALE:-en} in
ja) completed=$'アンインストールが完了しました。\nご利用ありがとうございました。' ;;
*) completed='Uninstallation was completed. Thank you for use.' ;;
esac
[ "$text" = "$completed" ] || fail "the removal did not complete: $text"
setup_key Return
setup_ask gone uninstall >/dev/null || fail "the uninstall dialog stays"
wait "$remover" || true
[ -e "$folder" ] && fail "the installation folder is left: $(ls "$folder")"
[ -e "$shortcuts" ] && fail "the start-menu folder is left"
has_key "$uninstall_key" && fail "the uninstall entry is left"
has_value "$run_key" CorvinaPlus && fail "the Run value CorvinaPlus is left"
has_value "$run_key" CorvinaPlusOnce && fail "the Run value CorvinaPlusOnce is left"
has_key 'HKCU\Software\Velmora\Corvina Plus' && fail "the resident program's options are left"
has_value "$list_key" Length || fail "the menu list key went too"
echo "ok"
