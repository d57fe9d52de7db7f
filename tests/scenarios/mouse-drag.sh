# Sourced by the drop scenarios, which define x (xdotool in the Wine environment) and fail.
#
# mouse_drag FROM_X FROM_Y TO_X TO_Y: presses the left button at FROM on the Wine desktop,
# travels to TO in steps so that the drag loop sees the pointer move and the target gets its
# enter and over calls, wiggles there, and releases.
mouse_drag() {
    local from_x=$1 from_y=$2 to_x=$3 to_y=$4 desktop steps=20 i d
    desktop=$(x search --name 'Wine desktop' | head -1)
    [ -n "$desktop" ] || fail "no Wine desktop window"
    x mousemove --window "$desktop" "$from_x" "$from_y"
    sleep 0.3
    x mousedown 1
    sleep 0.3
    for i in $(seq 1 $steps); do
        x mousemove --window "$desktop" $((from_x + (to_x - from_x) * i / steps)) \
            $((from_y + (to_y - from_y) * i / steps))
        sleep 0.05
    done
    for d in 1 0 1 0; do
        x mousemove --window "$desktop" $((to_x + d)) "$to_y"
        sleep 0.1
    done
    x mouseup 1
}
