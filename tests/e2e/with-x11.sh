#!/usr/bin/env bash
# Runs a command against a real X server with a real window manager, as on a desktop: a
# fresh Xvfb on a free display, managed by openbox. Everything started here is stopped again,
# however the command ends; the script exits with the command's status.
#
#   tests/e2e/with-x11.sh COMMAND [ARGS...]
#
# The command sees DISPLAY and QT_QPA_PLATFORM=xcb. QUARNEL_X11_SCREEN sets the screen
# (default 1280x1024x24), QUARNEL_OPENBOX_THEME one of openbox's themes (default: its own
# default, Clearlooks, whose frame is 1, 1, 20, 1 pixels: left, right, top, bottom).
# Needs Xvfb, openbox and xprop (packages xvfb, openbox, x11-utils).
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
    stop_x
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

openbox_config=()
if [ -n "${QUARNEL_OPENBOX_THEME:-}" ]; then
    # The theme's name is the first <name> in the <theme> section.
    sed "/<theme>/,/<\/name>/ s|<name>[^<]*</name>|<name>$QUARNEL_OPENBOX_THEME</name>|" \
        /etc/xdg/openbox/rc.xml >"$scratch/rc.xml"
    openbox_config=(--config-file "$scratch/rc.xml")
fi

stop_x() {
    local pid
    for pid in $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        # Openbox has been seen to sit out a SIGTERM now and then; nothing may outlive the run.
        for _ in $(seq 30); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    wm_pid=
    xvfb_pid=
}

start_x() {
    # Xvfb picks a free display itself and writes its number once it accepts clients.
    : >"$scratch/display"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$scratch/display" \
        2>"$scratch/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$scratch/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    [ -s "$scratch/display" ] || return 1
    DISPLAY=":$(head -n1 "$scratch/display")"
    export DISPLAY
    xprop -root >/dev/null 2>&1 || return 1

    openbox --sm-disable "${openbox_config[@]}" >"$scratch/openbox.log" 2>&1 &
    wm_pid=$!
    # The window manager is ready once it has announced itself on the root window.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$wm_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Other X servers may come and go on this machine meanwhile; a display lost to one of them
# is simply tried again.
started=
for attempt in 1 2 3; do
    if start_x; then
        started=yes
        break
    fi
    echo "with-x11: attempt $attempt to start Xvfb and openbox failed" >&2
    cat "$scratch/xvfb.log" "$scratch/openbox.log" >&2 2>/dev/null || true
    stop_x
done
if [ -z "$started" ]; then
    echo "with-x11: no X server with a window manager" >&2
    exit 1
fi

export QT_QPA_PLATFORM=xcb
status=0
"$@" || status=$?
exit "$status"
