#!/usr/bin/env bash
# The quarnel program started from a folder where SkinH_EL.dll is a folder, so that the skin
# library can be neither placed nor loaded, and no library of that name is found elsewhere (run
# it through with-x11.sh). Instead of the main window a box "错误" appears; no window named
# Quarnel is ever mapped, the home page is never opened, the folder stays a folder, and OK ends
# the process with exit code -1, 255 as the shell sees it. Once for each way of pressing OK:
# Enter, and a click on the button. The box's exact text is the unit tests' business.
#
#   tests/e2e/quarnel_x11_fatal_error.sh PATH_TO_QUARNEL HOME_PAGE SCREENSHOT_FOLDER
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/quarnel_x11_lib.sh"

quarnel=$1
shots=$3

app=$scratch/app
elsewhere=$scratch/elsewhere
mkdir -p "$app/SkinH_EL.dll" "$elsewhere"
cp "$quarnel" "$app/quarnel"

# Every window the window manager ever manages is listed in the root window's
# _NET_CLIENT_LIST; the spy prints the list at each change.
xprop -root -spy _NET_CLIENT_LIST >"$scratch/client_lists" 2>/dev/null &
started_pids+=($!)
poll 10 test -s "$scratch/client_lists" || fail "xprop could not watch the root window"

press_ok() {
    local box=$1 way=$2
    case $way in
    enter) xdotool key Return ;;
    # The OK button stands alone at the bottom right of the box.
    click)
        window_geometry "$box" || fail "the box is gone"
        click_in "$box" $((win_w - 30)) $((win_h - 20))
        ;;
    *) fail "no way of pressing OK called $way" ;;
    esac
}

# The names of the windows of the program that the window manager has managed so far. Windows
# of an earlier run are gone by now: xprop finds nothing for them.
managed_names() {
    local wid
    grep -o '0x[0-9a-f]*' "$scratch/client_lists" | sort -u | while read -r wid; do
        { xprop -id "$wid" _NET_WM_PID _NET_WM_NAME 2>/dev/null || true; } |
            awk -v pid="$quarnel_pid" '/_NET_WM_PID/ { mine = ($3 == pid) } /_NET_WM_NAME/ && mine'
    done
}

run_once() {
    local way=$1 box names
    rm -f "$opener_log"
    start_quarnel env -C "$elsewhere" -u LD_LIBRARY_PATH "$app/quarnel"

    box=$(wait_window '^错误$' 30) || fail "no box named 错误 ($way)"
    wait_active "$box"
    names=$(managed_names)
    [ "$names" = '_NET_WM_NAME(UTF8_STRING) = "错误"' ] ||
        fail "the program's managed windows are not just the box: $names"
    if [ "$way" = enter ]; then
        screenshot_window "$box" "$shots/fatal_error_box.png"
    fi

    press_ok "$box" "$way"
    wait_quarnel_exit 20 || fail "OK did not end the program ($way)"
    [ "$quarnel_status" -eq 255 ] || fail "quarnel ended with code $quarnel_status, expected 255 ($way)"
    [ -d "$app/SkinH_EL.dll" ] || fail "the folder SkinH_EL.dll was replaced"

    wait_openers_done
    [ "$(opened_count)" -eq 0 ] || fail "the home page was opened ($way)"
    echo "OK by $way: only the box 错误 was shown, nothing opened, exit code 255"
}

for way in enter click; do
    run_once "$way"
done
