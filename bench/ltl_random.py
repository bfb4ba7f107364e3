#!/usr/bin/env python3
"""Random LTL formulas for the size benchmark of velkin-ltl.

usage: ltl_random.py SEED COUNT

Prints COUNT formulas, one a line, each of operator depth 5 or 6 over 3 to 5
propositions (a, b, c, d, e). One operand of every operator reaches the full
depth, the other a random smaller one, so the formulas stay readable while
nesting temporal operators deeply. The same seed gives the same formulas.
"""
import random
import re
import sys

UNARY = ["!", "X", "F", "G"]
BINARY = ["&", "|", "->", "<->", "xor", "U", "W", "R", "M"]


def formula(rng, depth, props):
    if depth == 0:
        return rng.choice(props)
    if rng.random() < 0.4:
        return rng.choice(UNARY) + " " + formula(rng, depth - 1, props)
    deep = formula(rng, depth - 1, props)
    shallow = formula(rng, rng.randrange(depth), props)
    left, right = (deep, shallow) if rng.random() < 0.5 else (shallow, deep)
    return "(" + left + " " + rng.choice(BINARY) + " " + right + ")"


def family(seed, count):
    """The COUNT formulas of SEED; only those that use three propositions or more."""
    rng = random.Random(seed)
    formulas = []
    while len(formulas) < count:
        props = "abcde"[: rng.randint(3, 5)]
        f = formula(rng, rng.randint(5, 6), list(props))
        if len(set(re.findall(r"\b[a-e]\b", f))) >= 3:
            formulas.append(f)
    return formulas


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    for f in family(int(sys.argv[1]), int(sys.argv[2])):
        print(f)


if __name__ == "__main__":
    main()
