# Sourced by tools/run and tools/screens-setup: the install and uninstall program's dialogs,
# driven with the mouse and the keyboard on the Wine virtual desktop as a user drives them.
# The caller sets wine_env (tools/wine-env), state (a started wine-env state folder) and
# setup_helper (the build's setup_screens_helper.exe), and exports LC_ALL for the language.

setup_run() { "$wine_env" run "$state" "$@"; }
setup_x() { "$wine_env" exec "$state" xdotool "$@"; }
setup_ask() { setup_run "$setup_helper" "$@" | tr -d '\r'; }
setup_fail() { echo "${0##*/}: $*" >&2; exit 1; }

setup_desktop() {
    local desktop
    desktop=$(setup_x search --name 'Wine desktop' | head -1)
    [ -n "$desktop" ] || setup_fail "no Wine desktop window"
    echo "$desktop"
}

# setup_click KIND ID: a left click in the middle of control ID of that window.
setup_click() {
    local x y desktop
    read -r x y < <(setup_ask point "$1" "$2") || setup_fail "no control $2 in the $1 window"
    desktop=$(setup_desktop)
    setup_x mousemove --window "$desktop" "$x" "$y"
    sleep 0.3
    setup_x click 1
}

# setup_key KEY...: keys to whatever window is active on the virtual desktop.
setup_key() {
    local desktop
    desktop=$(setup_desktop)
    setup_x windowfocus "$desktop" || true
    setup_x key "$@"
}

# setup_shot FILE: the whole screen, after the window has had time to paint.
setup_shot() {
    sleep 1
    "$wine_env" exec "$state" import -window root "$1"
    echo "screenshot: $1"
}

# setup_install PACKAGE_DIR [SHOT_BEFORE_OK SHOT_AT_END]: "Uninstall.exe -install" from the
# unpacked package; OK clicked, Enter on the completion message. The settings sheet that
# the installer starts at its end is left open.
setup_install() {
    local package=$1 before=${2:-} after=${3:-} pid text
    setup_run "$package/Uninstall.exe" -install &
    pid=$!
    setup_ask wait install >/dev/null || setup_fail "the installation dialog did not open"
    [ -z "$before" ] || setup_shot "$before"
    setup_click install 1
    text=$(setup_ask wait box) || setup_fail "no message after OK"
    echo "installer: $text"
    [ -z "$after" ] || setup_shot "$after"
    setup_key Return
    setup_ask gone box >/dev/null || setup_fail "the message stays"
    setup_ask gone install >/dev/null || setup_fail "the installation dialog stays"
    wait "$pid" || true
}

# setup_switch_on_extension: in the settings sheet, the first page's check box that adds
# Corvina to the desktop menu, then Apply, which registers Corvina.dll; the sheet stays.
setup_switch_on_extension() {
    setup_ask wait sheet >/dev/null || setup_fail "the settings sheet did not open"
    setup_click sheet 1003
    sleep 0.5
    setup_click sheet 12321 # Apply
}

# setup_uninstall_dialog [SHOT]: the uninstall entry's command, without arguments; its
# temporary copy shows the dialog, which is cancelled ("中止") at once.
setup_uninstall_dialog() {
    local shot=${1:-} command pid
    command=$("$wine_env" run "$state" reg query \
        'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Corvina' /v UninstallString |
        tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *//p')
    [ -n "$command" ] || setup_fail "no uninstall entry"
    # The entry names the program in quotes (older installations left them out).
    command=${command#\"}
    command=${command%\"}
    setup_run "$command" &
    pid=$!
    setup_ask wait uninstall >/dev/null || setup_fail "the uninstall dialog did not open"
    [ -z "$shot" ] || setup_shot "$shot"
    setup_click uninstall 2
    setup_ask gone uninstall >/dev/null || setup_fail "the uninstall dialog stays"
    wait "$pid" 2>/dev/null || true
}
