#!/usr/bin/env python3
"""Sizes of velkin-ltl's automata for a family of random formulas, in both modes.

usage: ltl_family.py VELKIN_LTL SEED COUNT [TIMEOUT]

Generates COUNT formulas with ltl_random.py, translates each with and without
-a (with -v, which names the construction), and prints a Markdown section:
the distribution of states and pairs in both modes, the largest cases with
their construction, refusals and time-outs. TIMEOUT (seconds, default 60)
bounds each translation.
"""
import os
import resource
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ltl_random  # noqa: E402


def translate(tool, formula, actions, timeout):
    args = [tool, "-v"] + (["-a"] if actions else []) + ["-H", "-o", "/dev/null", formula]
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.time()
    try:
        done = subprocess.run(args, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return {"outcome": "time-out", "seconds": time.time() - start}
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    if done.returncode != 0:
        return {"outcome": "refused", "message": done.stderr.strip().splitlines()[-1], "seconds": cpu}
    line = [l for l in done.stderr.splitlines() if " states, " in l][-1]
    words = line.split()
    return {"outcome": "ok", "states": int(words[1]), "pairs": int(words[3]),
            "construction": line.split(" by ", 1)[1], "seconds": cpu}


def buckets(values, edges):
    counts = []
    low = 1
    for high in edges:
        counts.append((f"{low}" if low == high else f"{low}–{high}", sum(low <= v <= high for v in values)))
        low = high + 1
    counts.append((f"> {edges[-1]}", sum(v > edges[-1] for v in values)))
    return counts


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    tool, seed, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    timeout = float(sys.argv[4]) if len(sys.argv) == 5 else 60.0
    formulas = ltl_random.family(seed, count)
    results = [(f, translate(tool, f, False, timeout), translate(tool, f, True, timeout)) for f in formulas]

    print(f"## A family of {count} random formulas (bench/ltl_random.py, seed {seed})")
    print()
    print("Operator depth 5 or 6, 3 to 5 propositions; each translated for every letter and with `-a`,")
    print(f"HOA output, at most {timeout:g} s each. Regenerate with `bash bench/ltl.sh`.")
    print()
    for index, mode in ((1, "every letter"), (2, "`-a`")):
        ok = [r[index] for r in results if r[index]["outcome"] == "ok"]
        states = sorted(r["states"] for r in ok)
        pairs = sorted(r["pairs"] for r in ok)
        others = [r[index] for r in results if r[index]["outcome"] != "ok"]
        print(f"### {mode}")
        print()
        if states:
            median = states[len(states) // 2]
            print(f"{len(ok)} translated, {len(others)} not; states: median {median}, "
                  f"90th percentile {states[int(len(states) * 0.9)]}, largest {states[-1]}; "
                  f"pairs: median {pairs[len(pairs) // 2]}, largest {pairs[-1]}; "
                  f"CPU time in all {sum(r['seconds'] for r in ok):.1f} s.")
        print()
        print("| states | formulas | | pairs | formulas |")
        print("|---|---:|---|---|---:|")
        s_rows = buckets(states, [1, 2, 3, 5, 10, 20, 50, 100, 200, 1000])
        p_rows = buckets(pairs, [0, 1, 2, 3, 5, 10]) if pairs else []
        if pairs:
            p_rows = [("0", sum(p == 0 for p in pairs))] + buckets([p for p in pairs if p > 0], [1, 2, 3, 5, 10])
        for k in range(max(len(s_rows), len(p_rows))):
            s_cell = s_rows[k] if k < len(s_rows) else ("", "")
            p_cell = p_rows[k] if k < len(p_rows) else ("", "")
            print(f"| {s_cell[0]} | {s_cell[1]} | | {p_cell[0]} | {p_cell[1]} |")
        print()
        constructions = {}
        for r in ok:
            constructions[r["construction"]] = constructions.get(r["construction"], 0) + 1
        print("Constructions of the results: " +
              ", ".join(f"{name} {n}" for name, n in sorted(constructions.items(), key=lambda x: -x[1])) + ".")
        print()
        largest = sorted((r for r in results if r[index]["outcome"] == "ok"),
                         key=lambda r: -r[index]["states"])[:8]
        print("| formula | states | pairs | construction | seconds | other mode: states |")
        print("|---|---:|---:|---|---:|---:|")
        for r in largest:
            x, other = r[index], r[3 - index]
            other_states = other.get("states", other["outcome"])
            print(f"| `{r[0].replace('|', chr(92) + '|')}` | {x['states']} | {x['pairs']} | {x['construction']} "
                  f"| {x['seconds']:.2f} | {other_states} |")
        if others:
            print()
            for r in results:
                x = r[index]
                if x["outcome"] != "ok":
                    detail = x.get("message", f"after {x['seconds']:.0f} s")
                    print(f"- `{r[0]}`: {x['outcome']} ({detail})")
        print()
    both = [r for r in results if r[1]["outcome"] == "ok" and r[2]["outcome"] == "ok"]
    smaller = sum(r[2]["states"] < r[1]["states"] for r in both)
    larger = sum(r[2]["states"] > r[1]["states"] for r in both)
    print(f"With `-a` against every letter, where both translated ({len(both)}): smaller on {smaller}, "
          f"as large on {len(both) - smaller - larger}, larger on {larger}.")


if __name__ == "__main__":
    main()
