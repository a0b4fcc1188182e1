#!/usr/bin/env python3
"""Turns the raw figures of bench/run.sh's runs into one Markdown table with the targets.

    summarize.py RESULTS_DIR RUNS DRILL_SECONDS
"""
import pathlib
import statistics
import sys


def figures(path):
    values = {}
    for line in path.read_text().split("\n"):
        for pair in line.split():
            key, _, value = pair.partition("=")
            try:
                values[key] = float(value)
            except ValueError:
                pass
    return values


def spread(values, digits):
    if not values:
        return "n/a"
    form = f"{{:.{digits}f}}"
    return (f"{form.format(statistics.median(values))} "
            f"({form.format(min(values))} – {form.format(max(values))})")


def main():
    results = pathlib.Path(sys.argv[1])
    runs = int(sys.argv[2])
    seconds = int(float(sys.argv[3]))
    quarnel = [figures(results / f"quarnel-{i}.txt") for i in range(1, runs + 1)]
    floor = [figures(results / f"floor-{i}.txt") for i in range(1, runs + 1)]
    warnings = sum(
        len((results / f"{kind}-{i}.stderr").read_text().strip().splitlines())
        for kind in ("quarnel", "floor") for i in range(1, runs + 1))

    def column(rows, key, scale=1.0):
        return [row[key] * scale for row in rows if key in row]

    q_start, f_start = column(quarnel, "map_ms"), column(floor, "map_ms")
    q_rss, f_rss = column(quarnel, "rss_kb", 1 / 1024), column(floor, "rss_kb", 1 / 1024)
    q_cpu, f_cpu = column(quarnel, "cpu_pct"), column(floor, "cpu_pct")
    q_pulse = column(quarnel, "pulse_cpu_pct")
    period_median = column(quarnel, "period_err_median_ms")
    period_max = column(quarnel, "period_err_max_ms")
    delay_min, delay_max = column(quarnel, "delay_min_ms"), column(quarnel, "delay_max_ms")
    delay_median = column(quarnel, "delay_median_ms")
    problems = column(quarnel, "problems")
    missing = sum(column(quarnel, "missing")) + sum(column(quarnel, "extra"))

    def met(ok):
        return "yes" if ok else "**no**"

    start_ratio = statistics.median(q_start) / statistics.median(f_start)
    rss_excess = statistics.median(q_rss) - statistics.median(f_rss)
    worst_delay = max(max(abs(v) for v in delay_min), max(abs(v) for v in delay_max))
    rows = [
        ("start to window mapped (ms)", spread(q_start, 0), spread(f_start, 0),
         f"× {start_ratio:.2f}", "≤ 1.2 × floor", met(start_ratio <= 1.2)),
        ("resident memory 5 s after start (MB)", spread(q_rss, 1), spread(f_rss, 1),
         f"+ {rss_excess:.1f} MB", "≤ floor + 15 MB", met(rss_excess <= 15)),
        (f"CPU over {seconds} s, % of one core (floor idle)", spread(q_cpu, 2),
         spread(f_cpu, 2), f"× {statistics.median(q_cpu) / max(statistics.median(f_cpu), 1e-9):.1f}"
         if statistics.median(f_cpu) > 0 else "–", "≤ 0.5 %",
         met(statistics.median(q_cpu) <= 0.5)),
        ("tick period error, median of a run (ms)", spread(period_median, 2), "n/a", "–",
         "≤ 1 ms", met(statistics.median(period_median) <= 1)),
        ("tick period error, max of a run (ms)", spread(period_max, 2), "n/a", "–", "≤ 5 ms",
         met(max(period_max) <= 5)),
        ("problem shown → tick mixed, median of a run (ms)", spread(delay_median, 1), "n/a", "–",
         "", ""),
        ("problem shown → tick mixed, earliest / latest (ms)",
         f"{min(delay_min):.1f} / {max(delay_max):.1f}", "n/a", "–", "within ± 40 ms",
         met(worst_delay <= 40)),
        ("sound server's CPU meanwhile, % of one core", spread(q_pulse, 2), "–", "–", "", ""),
    ]
    print(f"{runs} runs each, median (min – max); problems seen per run: "
          f"{spread(problems, 0)} (each run's period errors are over {seconds // 2} intervals)")
    print()
    print("| figure | Quarnel | floor | Quarnel vs floor | target | met |")
    print("|---|---|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()
    print(f"Problems without their tick, or ticks without a problem: {int(missing)}. "
          f"Lines on the programs' stderr: {warnings}.")


if __name__ == "__main__":
    main()
