#!/usr/bin/env bash
# Runs a command against a real X server with a real window manager, as on a desktop: a
# fresh Xvfb on a free display, managed by openbox. Everything started here is stopped again,
# however the command ends; the script exits with the command's status.
#
#   tests/e2e/with-x11.sh COMMAND [ARGS...]
#
# The command sees DISPLAY and QT_QPA_PLATFORM=xcb. QUARNEL_X11_SCREEN sets the screen
# (default 1280x1024x24). Needs Xvfb, openbox and xprop (packages xvfb, openbox, x11-utils).
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi

screen=${QUARNEL_X11_SCREEN:-1280x1024x24}
scratch=$(mktemp -d)
xvfb_pid=
wm_pid=

cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$scratch/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
if ! [ -s "$scratch/display" ]; then
    echo "with-x11: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$scratch/display")"

openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
wm_pid=$!
# The window manager is ready once it has announced itself on the root window.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill -0 "$wm_pid" 2>/dev/null || { cat "$scratch/openbox.log" >&2; exit 1; }
    sleep 0.1
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "with-x11: openbox did not start" >&2
    exit 1
fi

export QT_QPA_PLATFORM=xcb
status=0
"$@" || status=$?
exit "$status"
