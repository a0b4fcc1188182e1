#!/usr/bin/env bash
# Builds Quarnel and the toolkit's floor (a bare Qt Widgets window with one label) in release
# mode and measures both side by side on Xvfb with openbox and a PulseAudio null sink:
#   - start: process start to the first window mapped by the window manager;
#   - resident memory 5 s after start;
#   - CPU over 60 s: Quarnel drilling at "每题2秒" with its banner animating, the floor idle;
#   - Quarnel's tick period error over 30 ticks and the delay from each problem on the screen
#     to its tick in the sound server (the floor has no ticks).
# Every figure is the median of BENCH_RUNS runs (default 5) with min and max; the runs of the
# two programs alternate, so noise from other work on the machine falls on both alike.
#
#   bench/run.sh            # prints the table, leaves every run's raw figures in build/release/bench-results
#
# BENCH_RUNS and BENCH_DRILL_SECONDS (default 60) change the number and length of the runs.
# Needs what the end-to-end and audio tests need, plus libxcb-damage0-dev.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$root/build/release
results=$build/bench-results
runs=${BENCH_RUNS:-5}
drill_seconds=${BENCH_DRILL_SECONDS:-60}

# 分组框_20以内分开关 lies at 8, 256 in the window's client area; inside it 组合框_时间 at
# 201, 24 (98 x 20), 按钮_20以内分 at 309, 24 (60 x 31) and the counter 标签_出题数量 at
# 112, 64 (56 x 24).
pace_combo="258 290"
start_button="347 295"
counter_region="120,320,56,24"

# One run's measuring, inside map_probe (BENCH_PID is the program); further arguments go to
# problem_probe. bench/soak.sh uses it too.
drill() {
    local kind=$1 log=$2 wid
    shift 2
    if [ "$kind" = floor ]; then
        exec "$build/bin/problem_probe" --pid "$BENCH_PID" --seconds "$drill_seconds" \
            --pulse-pid "$QUARNEL_PULSE_PID" --log "$log" "$@"
    fi
    wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$BENCH_PID" --name '^Quarnel$' |
        head -n1)
    [ -n "$wid" ] || { echo "run.sh: no window named Quarnel" >&2; exit 1; }
    # Drop the pace list down and take its first item, 每题2秒.
    xdotool mousemove --window "$wid" $pace_combo click 1
    sleep 0.5
    xdotool key Home Return
    sleep 0.5
    exec "$build/bin/problem_probe" --pid "$BENCH_PID" --seconds "$drill_seconds" \
        --window "$wid" --region "$counter_region" --period-ms 2000 \
        --source "$QUARNEL_NULL_SINK.monitor" --tick "$build/assets/generated/tick.wav" \
        --click "xdotool mousemove --window $wid $start_button click 1" \
        --pulse-pid "$QUARNEL_PULSE_PID" --log "$log" "$@"
}

# All runs, inside one X server and one sound server.
measure() {
    rm -rf "$results"
    mkdir -p "$results"
    local program i kind
    # Once each unmeasured, so that both start from a warm file cache (and Quarnel has placed
    # its skin library beside itself, as on every start but the first).
    for program in quarnel floor_window; do
        "$build/bin/map_probe" --settle 2 -- "$build/bin/$program" >/dev/null
    done
    for i in $(seq "$runs"); do
        for kind in quarnel floor; do
            program=quarnel
            [ "$kind" = floor ] && program=floor_window
            echo "run $i of $runs: $kind" >&2
            "$build/bin/map_probe" --settle 5 --stderr "$results/$kind-$i.stderr" \
                --then "'$0' --drill $kind '$results/$kind-$i.log'" \
                -- "$build/bin/$program" >"$results/$kind-$i.txt"
        done
    done
}

case "${1:-}" in
--drill)
    shift
    drill "$@"
    ;;
--measure)
    measure
    ;;
--build)
    cmake --preset release -DQUARNEL_BUILD_BENCH=ON -DQUARNEL_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" -j2 --target quarnel floor_window map_probe problem_probe
    ;;
"")
    "$0" --build
    "$root/tests/audio/with-pulseaudio.sh" "$root/tests/e2e/with-x11.sh" "$0" --measure
    python3 "$here/summarize.py" "$results" "$runs" "$drill_seconds" | tee "$results/table.md"
    ;;
*)
    echo "usage: $0" >&2
    exit 2
    ;;
esac
