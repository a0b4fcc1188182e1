# Helpers for the scripts that drive the quarnel program on an X desktop (run through
# with-x11.sh). Sourced, not run. They give each script a scratch folder that goes away at the
# end, a recording stand-in for the desktop's URL opener, window look-ups, clicks at client
# coordinates and screenshots; every process a script starts with start_quarnel is ended when
# the script ends, however it ends.
#
# The stand-in: Qt hands a web address to the first `xdg-open` on PATH, so start_quarnel puts
# a script of that name first on PATH. It opens nothing; it appends one line to $opener_log:
# the moment its process was created (clock ticks since boot, from /proc, so taken before the
# script ran a line) and the address. Qt starts it detached, so its line can come late, but Qt
# waits for the exec, so the process is created before the program goes on.
#
# Needs xdotool, xwininfo and xprop (x11-utils) and ImageMagick's import and convert.

set -Eeuo pipefail
# A command that fails where nothing handles it ends the script: say where.
trap 'echo "FAIL: unexpected failure of \"$BASH_COMMAND\" (line $LINENO of ${BASH_SOURCE[0]##*/})" >&2' ERR

scratch=$(mktemp -d)
opener_log=$scratch/opened.log
started_pids=()
quarnel_pid=

cleanup_scratch() {
    local pid
    for pid in "${started_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup_scratch EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$opener_log" ]; then
        echo "opened so far (start ticks, address):" >&2
        sed 's/^/  /' "$opener_log" >&2
    fi
    exit 1
}

mkdir "$scratch/bin"
cat >"$scratch/bin/xdg-open" <<EOF
#!/bin/sh
address="\$*"
read -r stat </proc/\$\$/stat
# Field 22 of the process's stat record, counted after the name in parentheses.
set -- \${stat##*) }
shift 19
printf '%s %s\n' "\$1" "\$address" >>'$opener_log'
EOF
chmod +x "$scratch/bin/xdg-open"

clock_ticks=$(getconf CLK_TCK)

# Now, in the clock ticks of the stand-in's lines (rounded down, like them).
now_ticks() {
    local up _
    read -r up _ </proc/uptime
    echo $((10#${up/./} * clock_ticks / 100))
}

# Runs COMMAND every 0.1 s until it succeeds or SECONDS have passed.
poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Starts PROGRAM [ARGS...] in the background with the stand-in first on PATH and nothing that
# could point Qt at another opener; its output goes to $scratch/quarnel.out.
start_quarnel() {
    env -u BROWSER -u DEFAULT_BROWSER PATH="$scratch/bin:$PATH" "$@" \
        >>"$scratch/quarnel.out" 2>&1 &
    quarnel_pid=$!
    started_pids+=("$quarnel_pid")
}

quarnel_running() {
    kill -0 "$quarnel_pid" 2>/dev/null
}

quarnel_gone() {
    ! quarnel_running
}

# Waits up to SECONDS for the program to end and sets quarnel_status to its exit code. (Not in
# a subshell: only this shell can wait for its child.)
wait_quarnel_exit() {
    poll "$1" quarnel_gone || return 1
    quarnel_status=0
    wait "$quarnel_pid" || quarnel_status=$?
}

# The id of a mapped window of the program whose name matches REGEX, or nothing.
visible_window() {
    xdotool search --all --onlyvisible --pid "$quarnel_pid" --name "$1" 2>/dev/null |
        head -n1 || true
}

# Waits up to SECONDS for a mapped window of the program whose name matches REGEX and prints
# its id.
wait_window() {
    local regex=$1 seconds=$2 wid deadline=$((SECONDS + $2))
    while :; do
        wid=$(visible_window "$regex")
        [ -n "$wid" ] && echo "$wid" && return 0
        quarnel_running || return 1
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

window_gone() {
    [ -z "$(visible_window "$1")" ]
}

# Sets win_x, win_y, win_w, win_h (the client area in root coordinates) and frame_left,
# frame_right, frame_top, frame_bottom (_NET_FRAME_EXTENTS) of window WID.
window_geometry() {
    local info extents
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    win_x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    win_y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    win_w=$(sed -n 's/.*Width: *//p' <<<"$info")
    win_h=$(sed -n 's/.*Height: *//p' <<<"$info")
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    [ -n "$extents" ] || return 1
    IFS=, read -r frame_left frame_right frame_top frame_bottom <<<"$extents"
}

# The window's outer geometry, frame included, as WxH+X+Y.
outer_geometry() {
    window_geometry "$1" || return 0
    echo "$((win_w + frame_left + frame_right))x$((win_h + frame_top + frame_bottom))+$((win_x - frame_left))+$((win_y - frame_top))"
}

screen_size() {
    local root
    root=$(xwininfo -root)
    screen_w=$(sed -n 's/.*Width: *//p' <<<"$root")
    screen_h=$(sed -n 's/.*Height: *//p' <<<"$root")
}

# WxH+X+Y of a window of outer size W x H centred on the whole screen.
centred_geometry() {
    screen_size
    echo "$1x$2+$((($screen_w - $1) / 2))+$((($screen_h - $2) / 2))"
}

# Waits until window WID has the outer geometry EXPECTED; the window manager places a new
# window a moment after mapping it.
wait_outer_geometry() {
    local wid=$1 expected=$2 actual=
    for _ in $(seq 100); do
        actual=$(outer_geometry "$wid")
        [ "$actual" = "$expected" ] && return 0
        sleep 0.1
    done
    fail "outer geometry of window $wid is $actual, expected $expected"
}

active_window_is() {
    [ "$(xdotool getactivewindow 2>/dev/null || true)" = "$1" ]
}

# Waits until window WID has the keyboard, asking the window manager for it if it does not
# come by itself.
wait_active() {
    poll 3 active_window_is "$1" && return 0
    xdotool windowactivate "$1" 2>/dev/null || true
    poll 20 active_window_is "$1" || fail "window $1 did not become active"
}

# A left click at X, Y in the client area of window WID.
click_in() {
    window_geometry "$1" || fail "window $1 is gone"
    xdotool mousemove --sync $((win_x + $2)) $((win_y + $3)) click 1
}

# A left click on the close button of window WID's frame: openbox's default title layout puts
# it last on the right, a square as high as the title bar.
click_close_button() {
    window_geometry "$1" || fail "window $1 is gone"
    xdotool mousemove --sync $((win_x + win_w + frame_right - 1 - frame_top / 2)) \
        $((win_y - frame_top / 2)) click 1
}

# Writes the screen's rectangle W x H at X, Y (root coordinates) to FILE, or to stdout as raw
# RGB when FILE is "-".
grab() {
    local file=$1
    [ "$file" = - ] && file=rgb:-
    import -silent -window root -crop "$2x$3+$4+$5" +repage "$file"
}

# A fingerprint of what the screen shows in the rectangle W x H at X, Y.
region_hash() {
    grab - "$@" | md5sum | cut -d' ' -f1
}

# Saves the outer area (frame included) of window WID as FILE.
screenshot_window() {
    local geometry
    geometry=$(outer_geometry "$1")
    [ -n "$geometry" ] || fail "window $1 is gone"
    mkdir -p "$(dirname "$2")"
    import -silent -window root -crop "$geometry" +repage "$2"
    echo "screenshot: $2"
}

opened_count() {
    if [ -f "$opener_log" ]; then
        wc -l <"$opener_log"
    else
        echo 0
    fi
}

opened_at_least() {
    [ "$(opened_count)" -ge "$1" ]
}

# True once no stand-in process of this script is left, so that $opener_log holds every line
# of every opening the program has asked for so far.
openers_done() {
    local cmdline args
    for cmdline in /proc/[0-9]*/cmdline; do
        mapfile -d '' args 2>/dev/null <"$cmdline" || continue
        [ "${args[1]:-}" = "$scratch/bin/xdg-open" ] && return 1
    done
    return 0
}

wait_openers_done() {
    poll 20 openers_done || fail "the stand-in for xdg-open is still running after 20 s"
}

# The openings so far in the order their processes were created: "TICKS ADDRESS" lines.
openings() {
    [ -f "$opener_log" ] || return 0
    sort -s -n -k1,1 "$opener_log"
}
