#!/usr/bin/env bash
# The session's virtual desktop outlives its programs: the desktop's owner is the same process
# before and after a pause longer than the second in which Wine closes an empty desktop.
#   wine-desktop-anchor.sh WINE_ENV STATE ANCHOR_EXE
set -uo pipefail
wine_env=$1 state=$2 anchor=$3

owner() { "$wine_env" run "$state" "$anchor" --owner 2>/dev/null | tr -d '\r'; }
first=$(owner)
sleep 3
second=$(owner)
if [ -z "$first" ] || [ "$first" = 0 ]; then
    echo "FAIL: no owner of the desktop window"
    exit 1
fi
if [ "$first" != "$second" ]; then
    echo "FAIL: the desktop closed between two programs (owner $first, then $second)"
    exit 1
fi
echo "desktop owner $first stayed"
