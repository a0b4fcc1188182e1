#!/usr/bin/env bash
# The About window of the quarnel program on an X desktop (run it through with-x11.sh), driven
# with real clicks and keys while a drill runs at 2 s a problem:
# - 按钮1 opens a window "关于" of 444 x 198 pixels, frame included, centred on the screen;
# - a press on its red link opens the home page once; presses elsewhere in it open nothing;
# - while it is open the main window takes no clicks (停止 does not stop the drill, a radio
#   button does not take its mark) but the drill goes on: the counter keeps changing;
# - Esc closes it, and the main window takes clicks again (停止, 开始, the radio button).
# Over the whole run the stand-in for xdg-open (see quarnel_x11_lib.sh) records exactly three
# openings: at start, from the link, at close. Screenshots go to SCREENSHOT_FOLDER.
#
#   tests/e2e/quarnel_x11_about.sh PATH_TO_QUARNEL HOME_PAGE SCREENSHOT_FOLDER
#
# HOME_PAGE is the address without its scheme, as the build setting QUARNEL_HOME_PAGE holds it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/quarnel_x11_lib.sh"

quarnel=$1
home_page_url=http://$2
shots=$3

# Places in the main window's client area: 分组框_20以内分开关 lies at 8, 256 and holds the
# buttons, the pace selector and the counter; 分组框_20_以内分 lies at -1, 0 and holds the
# radio buttons.
pace_selector=(209 280 98 20)        # 组合框_时间
start_button=(317 280 60 31)         # 按钮_20以内分 "开始"
stop_button=(317 315 60 31)          # 按钮_停止 "停止"
about_button=(383 280 31 64)         # 按钮1 "关于"
counter=(120 320 56 24)              # 标签_出题数量
whole_hidden_radio=(328 16 80 24)    # 单选框_和隐藏

# Clicks the middle of a control of the main window.
click_control() {
    local -n place=$1
    click_in "$main" $((place[0] + place[2] / 2)) $((place[1] + place[3] / 2))
}

# A control's rectangle on the screen, as W H X Y for grab and region_hash.
on_screen() {
    local -n place=$1
    window_geometry "$main" || fail "the main window is gone"
    echo "${place[2]} ${place[3]} $((win_x + place[0])) $((win_y + place[1]))"
}

control_hash() {
    # shellcheck disable=SC2046
    region_hash $(on_screen "$1")
}

control_changed_from() {
    [ "$(control_hash "$1")" != "$2" ]
}

colours_in() {
    # shellcheck disable=SC2046
    grab png:- $(on_screen "$1") | convert png:- -format %k info:
}

control_blank() {
    [ "$(colours_in "$1")" -eq 1 ]
}

control_not_blank() {
    ! control_blank "$1"
}

# Waits until the control's picture has changed COUNT times, for at most SECONDS.
wait_changes() {
    local name=$1 count=$2 deadline=$((SECONDS + $3)) last now changes=0
    last=$(control_hash "$name")
    while [ "$changes" -lt "$count" ]; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
        now=$(control_hash "$name")
        if [ "$now" != "$last" ]; then
            changes=$((changes + 1))
            last=$now
        fi
    done
}

# Fails unless the control lies outside the About window, where a click or a look reaches the
# main window.
expect_beside_about() {
    local -n place=$1
    local x y w h aw ah ax ay
    read -r w h x y <<<"$(on_screen "$1")"
    IFS='x+' read -r aw ah ax ay <<<"$(outer_geometry "$about")"
    if [ $((x + w)) -gt "$ax" ] && [ "$x" -lt $((ax + aw)) ] &&
        [ $((y + h)) -gt "$ay" ] && [ "$y" -lt $((ay + ah)) ]; then
        fail "$1 lies under the About window on this screen"
    fi
}

windows_of_quarnel() {
    xdotool search --onlyvisible --pid "$quarnel_pid" 2>/dev/null | wc -l
}

more_windows_than() {
    [ "$(windows_of_quarnel)" -gt "$1" ]
}

windows_count_is() {
    [ "$(windows_of_quarnel)" -eq "$1" ]
}

rm -f "$opener_log"
start_quarnel "$quarnel"
main=$(wait_window '^Quarnel$' 30) || fail "no window named Quarnel"
seen=$(now_ticks)
wait_outer_geometry "$main" "$(centred_geometry 435 449)"
wait_active "$main"
poll 20 opened_at_least 1 || fail "the home page was not opened at start"
counter_at_load=$(control_hash counter)

# Pace "每题2秒", the first item: drop the list down and close it again, which leaves the
# focus on the closed selector, where Home picks the first item.
pace_at_load=$(control_hash pace_selector)
windows_before=$(windows_of_quarnel)
click_control pace_selector
poll 10 more_windows_than "$windows_before" || fail "the pace list did not drop down"
xdotool key Escape
poll 10 windows_count_is "$windows_before" || fail "Esc did not close the pace list"
xdotool key Home
poll 10 control_changed_from pace_selector "$pace_at_load" || fail "Home did not change the pace"

click_control start_button
poll 10 control_changed_from counter "$counter_at_load" || fail "开始 did not start the drill"
radio_before=$(control_hash whole_hidden_radio)

click_control about_button
about=$(wait_window '^关于$' 20) || fail "按钮1 opened no window named 关于"
wait_outer_geometry "$about" "$(centred_geometry 444 198)"
echo "About window: 关于, outer geometry $(outer_geometry "$about")"
wait_active "$about"
screenshot_window "$about" "$shots/about_window.png"
screen_size
mkdir -p "$shots"
grab "$shots/about_over_main.png" "$screen_w" "$screen_h" 0 0
echo "screenshot: $shots/about_over_main.png"

# The link: the red text (#FF0000) in the About window below its banner.
window_geometry "$about"
grab "$scratch/about_text.png" "$win_w" $((win_h - 62)) "$win_x" $((win_y + 62))
red=$(convert "$scratch/about_text.png" -fill black +opaque '#FF0000' -fill white \
    -opaque '#FF0000' -format %@ info:)
IFS='x+' read -r link_w link_h link_x link_y <<<"$red"
link_y=$((link_y + 62))
[ "$link_w" -ge 40 ] && [ "$link_h" -ge 8 ] || fail "no red link in the About window ($red)"
echo "the red link covers ${link_w}x${link_h}+${link_x}+${link_y} of the About window"
link_mid_y=$((link_y + link_h / 2))

# Presses beside the link on its line, in the first paragraph and on the banner open nothing;
# the press on the link opens the page. All of it is counted at the end.
click_in "$about" $((link_x - 40)) "$link_mid_y"
click_in "$about" $((link_x + link_w + 40)) "$link_mid_y"
click_in "$about" 60 90
click_in "$about" 200 30
pressed=$(now_ticks)
click_in "$about" $((link_x + link_w / 2)) "$link_mid_y"
poll 10 opened_at_least 2 || fail "a press on the link opened nothing"
echo "a press on the link opened the home page"

# The main window takes no clicks, but its drill goes on.
for control in counter stop_button whole_hidden_radio; do
    expect_beside_about "$control"
done
click_control stop_button
click_control whole_hidden_radio
click_in "$about" 200 30
wait_changes counter 2 20 || fail "the drill stopped changing problems while the About window was open"
[ "$(control_hash whole_hidden_radio)" = "$radio_before" ] ||
    fail "a click on 单选框_和隐藏 went through while the About window was open"
[ -n "$(visible_window '^关于$')" ] || fail "the About window closed by itself"
echo "with the About window open the drill went on and the main window took no clicks"

wait_active "$about"
escaped=$(now_ticks)
xdotool key Escape
poll 10 window_gone '^关于$' || fail "Esc did not close the About window"
quarnel_running || fail "closing the About window ended the program"

wait_active "$main"
click_control stop_button
poll 10 control_blank counter || fail "停止 did not stop the drill after the About window closed"
click_control start_button
poll 10 control_not_blank counter || fail "开始 did not start the drill after the About window closed"
click_control whole_hidden_radio
poll 10 control_changed_from whole_hidden_radio "$radio_before" ||
    fail "单选框_和隐藏 took no mark after the About window closed"
echo "after Esc closed the About window the main window took clicks again"

closing=$(now_ticks)
xdotool key Escape
wait_quarnel_exit 20 || fail "Esc did not close the main window"
[ "$quarnel_status" -eq 0 ] || fail "quarnel ended with code $quarnel_status"

wait_openers_done
mapfile -t opened < <(openings)
[ "${#opened[@]}" -eq 3 ] ||
    fail "${#opened[@]} openings, expected 3: at start, from the link, at close"
for line in "${opened[@]}"; do
    [ "${line#* }" = "$home_page_url" ] || fail "opened '${line#* }', expected '$home_page_url'"
done
read -r start_ticks _ <<<"${opened[0]}"
read -r link_ticks _ <<<"${opened[1]}"
read -r close_ticks _ <<<"${opened[2]}"
[ "$start_ticks" -le "$seen" ] || fail "the first opening started after the window was seen"
[ "$link_ticks" -ge "$pressed" ] && [ "$link_ticks" -le "$escaped" ] ||
    fail "the second opening did not come from the press on the link"
[ "$close_ticks" -ge "$closing" ] || fail "the third opening came before the close"
echo "openings: at start, from the link, at close; exit code 0"
