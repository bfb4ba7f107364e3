#!/usr/bin/env python3
"""Generators of scalable Velkin inputs for the benchmarks.

Specifications (written to standard output):
  chain N          P0 = a.P1 ... a ring of N processes, each with a must
                   transition to the next and a may transition back to P0
  random N         N processes over 4 actions, each with one plain must
                   transition, one or two must hypertransitions of 2-3
                   alternatives and a may transition, targets drawn at random
  ring N           a token-ring protocol of N stations: each station either
                   serves a request or passes the token on, and must answer a
                   served request with a grant or a deny
  redefine MB      about MB megabytes of repeated definitions of the same
                   three processes (the model stays tiny)
Automata:
  automaton PAIRS PROPS STATES   a deterministic Rabin automaton with random
                   transitions and acceptance signatures, total over the
                   letters that matter, always in the one-block-per-state form
  gfa PROPS        "infinitely often the first proposition", two states
All output is deterministic for a given --seed (default 1).
"""
import argparse
import random
import sys

ACTIONS = ["a", "b", "c", "d"]


def chain(n, out):
    for i in range(n):
        out.write(f"P{i} = a.P{(i + 1) % n} + ?b.P0\n")


def random_spec(n, rng, out):
    for i in range(n):
        parts = [f"{rng.choice(ACTIONS)}.P{rng.randrange(n)}"]
        for _ in range(rng.randint(1, 2)):
            alts = [f"{rng.choice(ACTIONS)}.P{rng.randrange(n)}" for _ in range(rng.randint(2, 3))]
            parts.append("{" + " | ".join(alts) + "}")
        parts.append(f"?{rng.choice(ACTIONS)}.P{rng.randrange(n)}")
        out.write(f"P{i} = " + " + ".join(parts) + "\n")


def ring(n, out):
    # Station i holds the token; it may take a request (then it must grant or
    # deny, and hands the token on) or pass the token to station i+1.
    for i in range(n):
        nxt = (i + 1) % n
        out.write(f"Station{i} = {{request.Serve{i} | pass.Station{nxt}}}\n")
        out.write(f"Serve{i} = {{grant.Station{nxt} | deny.Station{nxt}}} + ?pass.Station{nxt}\n")


def redefine(megabytes, out):
    block = "P = a.Q + ?b.P + {c.Q | d.R}\nQ = a.P + ?c.R\nR = ?a.P\n"
    count = megabytes * 1024 * 1024 // len(block) + 1
    chunk = block * 1024
    for _ in range(count // 1024):
        out.write(chunk)
    out.write(block * (count % 1024))


def write_automaton(states, pairs, props, start, delta, signature, out):
    out.write("DRA v2 explicit\nComment: generated for benchmarks\n")
    out.write(f"States: {states}\nAcceptance-Pairs: {pairs}\nStart: {start}\n")
    names = " ".join(f'"{ACTIONS[j]}"' for j in range(props))
    out.write(f"AP: {props} {names}\n---\n")
    for s in range(states):
        out.write(f"State: {s}\nAcc-Sig:{signature[s]}\n")
        for k in range(2 ** props):
            out.write(f"{delta(s, k)}\n")


def random_automaton(pairs, props, states, rng, out):
    table = [[rng.randrange(states) for _ in range(2 ** props)] for _ in range(states)]
    signature = []
    for _ in range(states):
        items = ""
        for i in range(pairs):
            r = rng.random()
            if r < 0.35:
                items += f" +{i}"
            elif r < 0.6:
                items += f" -{i}"
        signature.append(items)
    write_automaton(states, pairs, props, 0, lambda s, k: table[s][k], signature, out)


def gfa(props, out):
    # State 1 is entered exactly when the first proposition held; pair 0 asks
    # for it infinitely often.
    write_automaton(2, 1, props, 0, lambda s, k: 1 if k & 1 else 0, ["", " +0"], out)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("kind", choices=["chain", "random", "ring", "redefine", "automaton", "gfa"])
    parser.add_argument("sizes", type=int, nargs="+")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    out = sys.stdout
    if args.kind == "chain":
        chain(args.sizes[0], out)
    elif args.kind == "random":
        random_spec(args.sizes[0], rng, out)
    elif args.kind == "ring":
        ring(args.sizes[0], out)
    elif args.kind == "redefine":
        redefine(args.sizes[0], out)
    elif args.kind == "automaton":
        pairs, props, states = args.sizes
        random_automaton(pairs, props, states, rng, out)
    else:
        gfa(args.sizes[0], out)


if __name__ == "__main__":
    main()
