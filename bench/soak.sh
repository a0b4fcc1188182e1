#!/usr/bin/env bash
# A long drill: Quarnel (release build) runs a 2-second drill for SECONDS (default 3600) on
# Xvfb with openbox, its ticks recorded from a PulseAudio null sink. It passes when
#   - resident memory stays within 1 MB after the first minute (sampled every 10 s),
#   - every problem shown has its tick and every tick its problem, each tick whole,
#   - nothing appears on the program's stderr.
# Not part of ctest: it takes an hour.
#
#   bench/soak.sh [SECONDS]      # raw figures and logs land in build/release/soak-results
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$root/build/release
results=$build/soak-results
seconds=${1:-3600}

case "${2:-}" in
--inside)
    BENCH_DRILL_SECONDS=$seconds "$build/bin/map_probe" --settle 5 \
        --stderr "$results/stderr.txt" \
        --then "'$here/run.sh' --drill quarnel '$results/probe.log' --rss-every 10" \
        -- "$build/bin/quarnel" >"$results/figures.txt"
    exit
    ;;
esac

"$here/run.sh" --build
rm -rf "$results"
mkdir -p "$results"
echo "soak: a 2-second drill for $seconds s; logs in $results" >&2
"$root/tests/audio/with-pulseaudio.sh" "$root/tests/e2e/with-x11.sh" "$0" "$seconds" --inside

python3 - "$results" "$seconds" <<'EOF'
import pathlib, sys
results, seconds = pathlib.Path(sys.argv[1]), float(sys.argv[2])
f = {}
for pair in (results / "figures.txt").read_text().split():
    key, _, value = pair.partition("=")
    f[key] = float(value)
stderr = (results / "stderr.txt").read_text().strip().splitlines()
drift = f["rss_max_after_60s_kb"] - f["rss_min_after_60s_kb"]
expected = int(seconds // 2) + 1
checks = [
    (f"memory after the first minute: {f['rss_min_after_60s_kb'] / 1024:.2f} – "
     f"{f['rss_max_after_60s_kb'] / 1024:.2f} MB (span {drift:.0f} kB; "
     f"{f['rss_first_kb'] / 1024:.2f} MB at the first problem)", drift <= 1024),
    (f"problems: {f['problems']:.0f} (expected {expected}), with their tick: "
     f"{f['ticks']:.0f}, without: {f['missing']:.0f}, ticks without a problem: "
     f"{f['extra']:.0f}", f["problems"] == expected and f["missing"] == 0 and f["extra"] == 0),
    (f"every tick whole: worst match {f['worst_match']:.4f}, worst gain {f['worst_gain']:.3f}",
     f["worst_match"] > 0.98 and f["worst_gain"] > 0.8),
    (f"problem shown -> tick mixed: median {f['delay_median_ms']:.1f} ms, "
     f"{f['delay_min_ms']:.1f} to {f['delay_max_ms']:.1f} ms", True),
    (f"tick period error: median {f['period_err_median_ms']:.2f} ms, "
     f"max {f['period_err_max_ms']:.2f} ms", True),
    (f"CPU: {f['cpu_pct']:.3f} % of one core (sound server {f['pulse_cpu_pct']:.3f} %)", True),
    (f"lines on stderr: {len(stderr)}", not stderr),
]
for text, ok in checks:
    print(("ok    " if ok else "FAIL  ") + text)
sys.exit(0 if all(ok for _, ok in checks) else 1)
EOF
