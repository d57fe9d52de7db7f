#!/usr/bin/env bash
# tools/wine-env marks its prefix template ready only when Wine made a whole prefix, of the
# architecture asked for. Runs the real script against stand-ins of Wine's loader and
# wineserver that fail in chosen ways.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A stand-in loader: "wineboot -i" does what $MODE says; "reg add" records the desktop value
# the way Wine's user.reg holds it; everything else succeeds. Each call logs the architecture
# it was given and its first word.
cat >"$work/wine" <<'STUB'
#!/usr/bin/env bash
echo "$WINEARCH $1 ${2:-}" >>"$LOG"
case "$1 ${2:-}" in
"wineboot -i")
    case $MODE in
    fail) exit 1 ;;
    empty) mkdir -p "$WINEPREFIX"; exit 0 ;;
    esac
    mkdir -p "$WINEPREFIX/drive_c/windows/system32"
    for f in system.reg user.reg userdef.reg drive_c/windows/system32/kernel32.dll; do
        echo data >"$WINEPREFIX/$f"
    done ;;
"reg add")
    [ "$MODE" = regfail ] && exit 1
    [ "$4" = /v ] && [ "$5" = Desktop ] && echo '"Desktop"="shell"' >>"$WINEPREFIX/user.reg" ;;
esac
exit 0
STUB
printf '#!/bin/sh\nexit 0\n' >"$work/wineserver"
chmod +x "$work/wine" "$work/wineserver"
export LOG=$work/calls.log

passed=0
failed=0
check() { # name mode want-exit want-ready
    local state=$work/$1 rc ready=no
    MODE=$2 WINE_ENV_WINE=$work/wine WINE_ENV_WINESERVER=$work/wineserver \
        WINE_ENV_DISPLAY=:none "$root/tools/wine-env" start "$state" >/dev/null 2>&1
    rc=$?
    [ -f "$state/template/.ready" ] && ready=yes
    if { [ "$3" = 0 ] && [ $rc -eq 0 ]; } || { [ "$3" != 0 ] && [ $rc -ne 0 ]; }; then
        if [ "$ready" = "$4" ]; then
            passed=$((passed + 1))
            return
        fi
    fi
    echo "FAILED: $1 (mode $2): exit $rc, template ready: $ready; wanted exit $3, ready $4"
    failed=$((failed + 1))
}

check boot-fails fail 1 no
check boot-makes-nothing empty 1 no
check desktop-not-set regfail 1 no
check whole ok 0 yes

# A template left broken by an earlier run is made again, not copied.
state=$work/stale
mkdir -p "$state/template"
MODE=fail WINE_ENV_WINE=$work/wine WINE_ENV_WINESERVER=$work/wineserver \
    WINE_ENV_DISPLAY=:none "$root/tools/wine-env" start "$state" >/dev/null 2>&1
check stale ok 0 yes

# A template of the other architecture is made again; the state's later commands run with the
# architecture its start recorded, whatever the caller's environment says.
state=$work/arch
MODE=ok WINE_ENV_WINE=$work/wine WINE_ENV_WINESERVER=$work/wineserver \
    WINE_ENV_DISPLAY=:none "$root/tools/wine-env" start "$state" >/dev/null 2>&1
: >"$LOG"
MODE=ok WINE_ENV_ARCH=win32 WINE_ENV_WINE=$work/wine WINE_ENV_WINESERVER=$work/wineserver \
    WINE_ENV_DISPLAY=:none "$root/tools/wine-env" start "$state" >/dev/null 2>&1
WINE_ENV_ARCH=win64 WINE_ENV_WINE=$work/wine WINE_ENV_WINESERVER=$work/wineserver \
    "$root/tools/wine-env" run "$state" notepad >/dev/null 2>&1
if grep -qx 'win32 wineboot -i' "$LOG" && [ "$(cat "$state/template/.ready")" = win32 ] &&
    grep -qx 'win32 notepad ' "$LOG" && ! grep -q '^win64' "$LOG"; then
    passed=$((passed + 1))
else
    echo "FAILED: a win64 template started as win32:"
    sed 's/^/  /' "$LOG"
    failed=$((failed + 1))
fi

# A state made from another state's template keeps that template's architecture when its
# start names none: nothing is booted again.
copy=$work/from-template
mkdir -p "$copy"
cp -a "$state/template" "$copy/template"
: >"$LOG"
MODE=ok WINE_ENV_WINE=$work/wine WINE_ENV_WINESERVER=$work/wineserver \
    WINE_ENV_DISPLAY=:none "$root/tools/wine-env" start "$copy" >/dev/null 2>&1
if [ "$(cat "$copy/arch")" = win32 ] && ! grep -q 'wineboot -i' "$LOG"; then
    passed=$((passed + 1))
else
    echo "FAILED: a state from a win32 template started as $(cat "$copy/arch"):"
    sed 's/^/  /' "$LOG"
    failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
