#!/usr/bin/env python3
"""Turns the rows of bench/run.sh into bench/RESULTS.md (written to stdout).

Each input row is tab-separated: family, scale (power of ten of the product
or model size, "-" for runs outside the scaling series), size, product
states, stage, wall s, CPU s, max RSS MiB, result. Besides the full table the
report checks the scaling targets: the 10^5 -> 10^6 time ratio of every stage
(at most 12), solving against rendering the product at 10^6 (at most 3),
and memory per product state and per parsed process.
"""
import argparse
import datetime
import os
import re

RATIO_LIMIT = 12.0
SOLVE_OVER_PRODUCT_LIMIT = 3.0
BYTES_PER_STATE_LIMIT = 200.0


def number(text):
    try:
        return float(text)
    except ValueError:
        return None


def read_rows(path):
    rows = []
    with open(path) as f:
        for line in f:
            family, scale, size, states, stage, wall, cpu, rss, note = line.rstrip("\n").split("\t")
            rows.append(dict(family=family, scale=scale, size=size, states=states, stage=stage,
                             wall=wall, cpu=cpu, rss=rss, note=note))
    return rows


def find(rows, family, scale, stage):
    for row in rows:
        if row["family"] == family and row["scale"] == scale and row["stage"] == stage:
            return row
    return None


def verdict(value, limit):
    if value is None:
        return "not measured"
    return "met" if value <= limit else "**missed**"


def ratio(a, b):
    if a is None or b is None or b == 0:
        return None
    return a / b


def fmt(value, digits=1):
    return "-" if value is None else f"{value:.{digits}f}"


def fmt_against(value, limit):
    """A ratio with one decimal, or two where one would round it onto the limit
    and hide which side of it the value lies."""
    if value is not None and f"{value:.1f}" == f"{limit:.1f}" and value != limit:
        return fmt(value, 2)
    return fmt(value)


def section(title, text, columns):
    """A titled table section: the title, its explanation and the table head."""
    return ([f"## {title}", ""] + text + ["", "| " + " | ".join(columns) + " |",
                                          "|" + "---|" * len(columns)])


def run_at_million(rows, family, stage_start):
    """The first run of a family at 10^6 whose stage starts so, minimising runs aside."""
    return next((r for r in rows if r["family"] == family and r["scale"] == "6"
                 and r["stage"].startswith(stage_start) and not r["stage"].endswith("-m")), None)


def stages_of(rows, family):
    seen = []
    for row in rows:
        if row["family"] == family and row["stage"] not in seen:
            seen.append(row["stage"])
    return seen


def scaling_section(rows):
    lines = section("Scaling from 10^5 to 10^6",
                    [f"Time at 10^6 divided by time at 10^5 (target: at most {RATIO_LIMIT:g}). CPU time",
                     "is the yardstick, since other work may share the machine; wall time is shown too."],
                    ["family", "stage", "CPU 10^5 s", "CPU 10^6 s", "CPU ratio", "wall ratio", "target"])
    for family in ["chain", "random", "ring", "small-spec"]:
        for stage in stages_of(rows, family):
            small, large = find(rows, family, "5", stage), find(rows, family, "6", stage)
            if not small or not large:
                continue
            cpu = ratio(number(large["cpu"]), number(small["cpu"]))
            wall = ratio(number(large["wall"]), number(small["wall"]))
            lines.append(f"| {family} | `{stage}` | {small['cpu']} | {large['cpu']} | {fmt_against(cpu, RATIO_LIMIT)} | {fmt(wall)} "
                         f"| {verdict(cpu, RATIO_LIMIT)} |")
    return lines


def solve_section(rows):
    lines = section("Solving against rendering the product at 10^6",
                    [f"`-s` (one pair) CPU time divided by `-p > /dev/null` CPU time (target: at most "
                     f"{SOLVE_OVER_PRODUCT_LIMIT:g})."],
                    ["family", "product states", "`-p` CPU s", "`-s` CPU s", "ratio", "target"])
    for family in ["chain", "random", "small-spec"]:
        product, solve = run_at_million(rows, family, "-p"), run_at_million(rows, family, "-s")
        if not product or not solve:
            continue
        value = ratio(number(solve["cpu"]), number(product["cpu"]))
        lines.append(f"| {family} | {solve['states']} | {product['cpu']} | {solve['cpu']} | {fmt(value, 2)} "
                     f"| {verdict(value, SOLVE_OVER_PRODUCT_LIMIT)} |")
    return lines


def seeds_section(rows):
    lines = section("Random branching over eight seeds",
                    ["`-s P0` (one pair) on the random family of seeds 1-8 at both sizes. Whether P0 wins",
                     "depends on the seed, and a losing P0 needs many more fixpoint rounds, so the ratio is",
                     f"taken over the sums of the eight runs at each size (target: at most {RATIO_LIMIT:g})."],
                    ["seed", "CPU 10^5 s", "answer 10^5", "CPU 10^6 s", "answer 10^6", "CPU ratio"])
    sums = [0.0, 0.0]
    complete = True
    seeds = 0
    for seed in range(1, 9):
        small = find(rows, f"random seed {seed}", "5", "-s P0")
        large = find(rows, f"random seed {seed}", "6", "-s P0")
        if not small or not large:
            continue
        a, b = number(small["cpu"]), number(large["cpu"])
        if a is None or b is None:
            complete = False
        else:
            sums[0] += a
            sums[1] += b
        seeds += 1
        answer = lambda row: row["note"].split(", ")[-1] if ", " in row["note"] else row["note"]
        lines.append(f"| {seed} | {small['cpu']} | {answer(small)} | {large['cpu']} | {answer(large)} "
                     f"| {fmt(ratio(b, a))} |")
    if seeds == 0:
        return []
    total = ratio(sums[1], sums[0]) if complete else None
    lines.append(f"| sum | {sums[0]:.3f} | | {sums[1]:.3f} | | {fmt_against(total, RATIO_LIMIT)}, {verdict(total, RATIO_LIMIT)} |")
    return lines


def memory_section(rows):
    lines = section("Memory",
                    [f"Peak resident memory of `-s` (one pair) per product state at 10^6 (target: under "
                     f"{BYTES_PER_STATE_LIMIT:g} bytes on a specification much smaller than its",
                     "product, the small-spec family), and of parsing alone per process of the model."],
                    ["family", "run", "peak MiB", "per", "bytes each", "target"])
    for family in ["small-spec", "chain", "random", "ring"]:
        solve = run_at_million(rows, family, "-s")
        rss, states = (number(solve["rss"]), number(solve["states"])) if solve else (None, None)
        if solve and rss and states:
            per = rss * 1048576 / states
            target = verdict(per, BYTES_PER_STATE_LIMIT) if family == "small-spec" else "-"
            lines.append(f"| {family} | `{solve['stage']}` | {solve['rss']} | {solve['states']} product states "
                         f"| {per:.0f} | {target} |")
    for family in ["chain", "random"]:
        parse = find(rows, family, "6", "parse")
        match = re.match(r"(\d+) processes", parse["size"]) if parse else None
        rss = number(parse["rss"]) if parse else None
        if match and rss:
            processes = int(match.group(1))
            lines.append(f"| {family} | parse | {parse['rss']} | {processes} processes "
                         f"| {rss * 1048576 / processes:.0f} | - |")
    return lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("rows")
    parser.add_argument("--binary", default="build/velkin")
    parser.add_argument("--limit", default="60")
    parser.add_argument("--load", default="")
    parser.add_argument("--repeat", default="3")
    args = parser.parse_args()
    rows = read_rows(args.rows)
    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    with open("/proc/meminfo") as f:
        memory = next(int(line.split()[1]) for line in f if line.startswith("MemTotal"))
    out = ["# Benchmark results",
           "",
           f"Generated by `bench/run.sh` on {now}, {os.cpu_count()} cores, {memory / 1048576:.0f} GiB memory,",
           f"binary `{args.binary}`; load average at the start: {args.load}.",
           f"Every run was repeated {args.repeat} times by `bench/measure.py`: wall and CPU time (user +",
           "system) in seconds are those of the run with the median CPU time, peak resident memory in",
           f"MiB the highest of them; each run is bounded by {args.limit} s. \"Product states\" counts the",
           "node lines of `-p`; \"parse\" runs the tool with a specification and no output option.",
           "Inputs come from `bench/gen.py` with fixed seeds, so the tables can be reproduced.",
           ""]
    seeds = seeds_section(rows)
    out += scaling_section(rows) + [""] + solve_section(rows) + [""] + (seeds + [""] if seeds else [])
    out += memory_section(rows) + [""]
    out += ["## All runs",
            "",
            "| family | size | product states | stage | wall s | CPU s | max RSS MiB | result |",
            "|---|---|---|---|---|---|---|---|"]
    for r in rows:
        out.append(f"| {r['family']} | {r['size']} | {r['states']} | `{r['stage']}` | {r['wall']} | {r['cpu']} "
                   f"| {r['rss']} | {r['note']} |")
    print("\n".join(out))


if __name__ == "__main__":
    main()
