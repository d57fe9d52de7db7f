#!/usr/bin/env bash
# tools/wine-env marks its prefix template ready only when Wine made a whole prefix. Runs the
# real script against stand-ins of wine64 and wineserver that fail in chosen ways.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A stand-in wine64: "wineboot -i" does what $MODE says; "reg add" records the desktop value
# the way Wine's user.reg holds it; everything else succeeds.
cat >"$work/wine64" <<'STUB'
#!/usr/bin/env bash
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
chmod +x "$work/wine64" "$work/wineserver"

passed=0
failed=0
check() { # name mode want-exit want-ready
    local state=$work/$1 rc ready=no
    MODE=$2 WINE_ENV_WINE64=$work/wine64 WINE_ENV_WINESERVER=$work/wineserver \
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
MODE=fail WINE_ENV_WINE64=$work/wine64 WINE_ENV_WINESERVER=$work/wineserver \
    WINE_ENV_DISPLAY=:none "$root/tools/wine-env" start "$state" >/dev/null 2>&1
check stale ok 0 yes

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
