#!/usr/bin/env bash
# A normal run of the quarnel program on an X desktop (run it through with-x11.sh), once for
# each way a user closes the window: Esc, the close button of the window manager's frame, and
# Alt+F4. Each run opens the home page exactly twice, once at start, before the window could
# be seen, and once at close, and ends with exit code 0. No browser starts: a recording
# stand-in takes the place of xdg-open (see quarnel_x11_lib.sh).
#
#   tests/e2e/quarnel_x11_home_page.sh PATH_TO_QUARNEL HOME_PAGE SCREENSHOT_FOLDER
#
# HOME_PAGE is the address without its scheme, as the build setting QUARNEL_HOME_PAGE holds it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/quarnel_x11_lib.sh"

quarnel=$1
home_page_url=http://$2
shots=$3

# Checks that the openings so far are exactly the home page, COUNT times.
expect_home_page_openings() {
    local count=$1 ticks address n=0
    while read -r ticks address; do
        n=$((n + 1))
        [ "$address" = "$home_page_url" ] || fail "opened '$address', expected '$home_page_url'"
    done < <(openings)
    [ "$n" -eq "$count" ] || fail "the home page was opened $n times, expected $count"
}

# The start time (ticks) of opening number N, in the order they were started.
opening_ticks() {
    openings | sed -n "$1p" | cut -d' ' -f1
}

close_window() {
    local wid=$1 way=$2
    case $way in
    escape) xdotool key Escape ;;
    close-button) click_close_button "$wid" ;;
    alt-f4) xdotool key alt+F4 ;;
    *) fail "no way of closing called $way" ;;
    esac
}

run_once() {
    local way=$1 wid seen first closing second
    rm -f "$opener_log"
    start_quarnel "$quarnel"

    wid=$(wait_window '^Quarnel$' 30) || fail "no window named Quarnel"
    seen=$(now_ticks)
    wait_outer_geometry "$wid" "$(centred_geometry 435 449)"

    # Qt waits until the stand-in's process exists before openUrl returns, so a program that
    # opens the page before showing its window has the process created before the window can
    # be seen. The strict order inside the program is the in-process tests' business.
    poll 20 opened_at_least 1 || fail "the home page was not opened at start ($way)"
    first=$(opening_ticks 1)
    [ "$first" -le "$seen" ] ||
        fail "the first opening started at tick $first, after the window was seen at $seen"
    if [ "$way" = escape ]; then
        screenshot_window "$wid" "$shots/main_window.png"
    fi

    wait_active "$wid"
    wait_openers_done
    expect_home_page_openings 1

    closing=$(now_ticks)
    close_window "$wid" "$way"
    wait_quarnel_exit 20 || fail "the window did not close ($way)"
    [ "$quarnel_status" -eq 0 ] || fail "quarnel ended with code $quarnel_status ($way)"

    wait_openers_done
    expect_home_page_openings 2
    second=$(opening_ticks 2)
    [ "$second" -ge "$closing" ] ||
        fail "the second opening started at tick $second, before the close at $closing ($way)"
    echo "closed by $way: home page opened at start and at close, exit code 0"
}

for way in escape close-button alt-f4; do
    run_once "$way"
done
