#!/usr/bin/env bash
# The quarnel program itself on an X desktop, driven as a user would with real key presses
# and clicks (run it through with-x11.sh): it shows its window "Quarnel" at 435 x 449 pixels,
# frame included, centred on the screen; with a combo box's list dropped down the first Esc
# closes only the list, the next one closes the window, and the program ends with code 0.
#
#   tests/e2e/quarnel_x11.sh PATH_TO_QUARNEL
set -euo pipefail

quarnel=$1
"$quarnel" 2>/dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quarnel$' | head -n1)
[ -n "$wid" ] || fail "no window named Quarnel"

# _NET_FRAME_EXTENTS is left, right, top, bottom.
outer_geometry() {
    local info extents
    info=$(xwininfo -id "$wid")
    extents=$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
    [ -n "$extents" ] || return 0
    IFS=, read -r left right top bottom <<<"$extents"
    local x y w h
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/.*Width: *//p' <<<"$info")
    h=$(sed -n 's/.*Height: *//p' <<<"$info")
    echo "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))"
}

root=$(xwininfo -root)
screen_w=$(sed -n 's/.*Width: *//p' <<<"$root")
screen_h=$(sed -n 's/.*Height: *//p' <<<"$root")
expected="435x449+$(((screen_w - 435) / 2))+$(((screen_h - 449) / 2))"
actual=
for _ in $(seq 50); do
    actual=$(outer_geometry)
    [ "$actual" = "$expected" ] && break
    sleep 0.1
done
[ "$actual" = "$expected" ] || fail "outer geometry $actual, expected $expected"
echo "outer geometry $actual"

windows_of_quarnel() {
    xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l
}
before=$(windows_of_quarnel)

# Drop down 组合框_时间's list: the combo box lies at 201, 24 in 分组框_20以内分开关, which lies
# at 8, 256 in the window.
xdotool mousemove --window "$wid" $((8 + 201 + 49)) $((256 + 24 + 10)) click 1
for _ in $(seq 50); do
    [ "$(windows_of_quarnel)" -gt "$before" ] && break
    sleep 0.1
done
[ "$(windows_of_quarnel)" -gt "$before" ] || fail "the list did not drop down"

xdotool key Escape
for _ in $(seq 50); do
    [ "$(windows_of_quarnel)" -eq "$before" ] && break
    sleep 0.1
done
[ "$(windows_of_quarnel)" -eq "$before" ] || fail "the first Esc did not close the list"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the first Esc closed the window too"
echo "the first Esc closed only the list"

xdotool key Escape
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the second Esc did not close the window"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "quarnel ended with code $status"
echo "the second Esc closed the window; exit code 0"
