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
  lossy            a sender over a lossy channel (actions a = acknowledge,
                   b = send, c = wait, d = lose, deliver named by no
                   proposition): a NO for "infinitely often a"
  redefine MB      about MB megabytes of repeated definitions of the same
                   three processes (the model stays tiny)
Automata:
  automaton PAIRS PROPS STATES   a deterministic Rabin automaton with random
                   transitions and acceptance signatures, total over the
                   letters that matter, always in the one-block-per-state form
  gfa PROPS        "infinitely often the first proposition", two states
  counter STATES   "infinitely often a" with a counter of the letters since
                   the last a, wrapping at STATES - 1: STATES states, so
                   that the product grows with the automaton
  fairness NAME    a hand-derived automaton for a fairness property over the
                   actions a, b, c, d and idle (idle names no proposition):
                   fair2  (GF a -> GF b) & GF c                    2 pairs
                   fair3  (GF a & GF c) -> GF b                    3 pairs
                   fair4  (GF a -> GF b) & (GF c -> GF d)          4 pairs
                   fair5  ((GF a -> GF b) & (GF c -> GF d)) | GF idle  5 pairs
  chain-pairs PAIRS STATES   a parity condition written as a chain of Rabin
                   pairs: random transitions, each state a random priority
                   0 .. 2*PAIRS-1; pair i is good at priority 2i and bad
                   below it
  hoa-parity COLOURS   HOA, 3 states over a, b, c, "parity max even COLOURS"
                   with a random colour on every transition (COLOURS/2 pairs in a chain)
  hoa-rabin PAIRS  HOA, 3 states over a, b, c, "Rabin PAIRS" with random
                   marks on the transitions
Specifications for the fairness automata:
  random-idle N    like random, over the actions a, b, c, d and idle
  self-loops       P = {a.P | b.P} + ?c.P, for the HOA automata
  hyper N ACTIONS  N processes with 1-3 must hypertransitions of 1-3
                   alternatives each and, for 30 % of them, one may
                   transition, over the comma-separated ACTIONS
All output is deterministic for a given --seed (default 1).
"""
import argparse
import random
import sys

ACTIONS = ["a", "b", "c", "d"]


def chain(n, out):
    for i in range(n):
        out.write(f"P{i} = a.P{(i + 1) % n} + ?b.P0\n")


def random_spec(n, rng, out, actions=ACTIONS):
    for i in range(n):
        parts = [f"{rng.choice(actions)}.P{rng.randrange(n)}"]
        for _ in range(rng.randint(1, 2)):
            alts = [f"{rng.choice(actions)}.P{rng.randrange(n)}" for _ in range(rng.randint(2, 3))]
            parts.append("{" + " | ".join(alts) + "}")
        parts.append(f"?{rng.choice(actions)}.P{rng.randrange(n)}")
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


def lossy(out):
    out.write("Sender = {b.Channel | c.Sender}\nChannel = deliver.Receiver + d.Sender\nReceiver = a.Sender\n")


def counter(states, out):
    # State 0 is entered exactly by an a; the others count the letters since.
    write_automaton(states, 1, 1, 0, lambda s, k: 0 if k & 1 else (s + 1 if s + 1 < states else 1),
                    [" +0"] + [""] * (states - 1), out)


def gfa(props, out):
    # State 1 is entered exactly when the first proposition held; pair 0 asks
    # for it infinitely often.
    write_automaton(2, 1, props, 0, lambda s, k: 1 if k & 1 else 0, ["", " +0"], out)


# The fairness properties in disjunctive normal form: each disjunct is one
# Rabin pair, given as (letters that occur only finitely often, letters that
# occur infinitely often). Letter "idle" is the letter of no proposition.
FAIRNESS = {
    "fair2": [({"a"}, ["c"]), (set(), ["b", "c"])],
    "fair3": [({"a"}, []), ({"c"}, []), (set(), ["b"])],
    "fair4": [({"a", "c"}, []), ({"a"}, ["d"]), ({"c"}, ["b"]), (set(), ["b", "d"])],
    "fair5": [({"a", "c"}, []), ({"a"}, ["d"]), ({"c"}, ["b"]), (set(), ["b", "d"]), (set(), ["idle"])],
}


def fairness(name, out):
    # Every action is exactly one letter, so a state remembers the letter
    # just read (FG not x: states entered by x are bad) and, per disjunct, a
    # round-robin counter over its GF letters: counter i waits for the i-th
    # of them, and the value len(letters), entered when the last one is read,
    # is the good one (so all of them are read infinitely often exactly when
    # the good value recurs). Only the reachable states are written.
    disjuncts = FAIRNESS[name]
    letters = ["idle"] + ACTIONS  # letter k = 0 (no proposition), then 2^j for ACTIONS[j]

    def step(state, letter):
        _, counters = state
        moved = []
        for (_, wanted), c in zip(disjuncts, counters):
            if c == len(wanted):
                c = 0
            if wanted and wanted[c] == letter:
                c += 1
            moved.append(c)
        return (letter, tuple(moved))

    start = (None, tuple(0 for _ in disjuncts))
    number = {start: 0}
    order = [start]
    for state in order:  # breadth-first over the reachable states
        for letter in letters:
            nxt = step(state, letter)
            if nxt not in number:
                number[nxt] = len(order)
                order.append(nxt)
    signature = []
    for last, counters in order:
        items = ""
        for i, ((finite, wanted), c) in enumerate(zip(disjuncts, counters)):
            if last in finite:
                items += f" -{i}"
            elif last is not None and (not wanted or c == len(wanted)):
                items += f" +{i}"
        signature.append(items)

    def delta(s, k):
        if k == 0:
            return number[step(order[s], "idle")]
        if k & (k - 1) == 0:
            return number[step(order[s], ACTIONS[k.bit_length() - 1])]
        return s  # two propositions at once: no action reads this letter

    write_automaton(len(order), len(disjuncts), len(ACTIONS), 0, delta, signature, out)


def chain_pairs(pairs, states, rng, out):
    table = [[rng.randrange(states) for _ in range(2 ** len(ACTIONS))] for _ in range(states)]
    signature = []
    for _ in range(states):
        priority = rng.randrange(2 * pairs)
        items = ""
        for i in range(pairs):
            if priority == 2 * i:
                items += f" +{i}"
            elif priority < 2 * i:
                items += f" -{i}"
        signature.append(items)
    write_automaton(states, pairs, len(ACTIONS), 0, lambda s, k: table[s][k], signature, out)


def hyper_spec(n, actions, rng, out):
    for i in range(n):
        parts = []
        for _ in range(rng.randint(1, 3)):
            alts = [f"{rng.choice(actions)}.P{rng.randrange(n)}" for _ in range(rng.randint(1, 3))]
            parts.append(alts[0] if len(alts) == 1 else "{" + " | ".join(alts) + "}")
        if rng.random() < 0.3:
            parts.append(f"?{rng.choice(actions)}.P{rng.randrange(n)}")
        out.write(f"P{i} = " + " + ".join(parts) + "\n")


def hoa_head(name, acceptance, sets, out):
    out.write(f'HOA: v1\nname: "{name}"\nStates: 3\nStart: 0\nAP: 3 "a" "b" "c"\n')
    out.write(f"Acceptance: {sets} {acceptance}\nproperties: explicit-labels deterministic\n--BODY--\n")


LETTERS = ["!0 & !1 & !2", "0 & !1 & !2", "!0 & 1 & !2", "!0 & !1 & 2"]


def hoa_parity(colours, rng, out):
    # parity max even: the greatest colour seen infinitely often is even.
    formula = "Inf(0)"
    for c in range(1, colours):
        formula = f"Fin({c}) & ({formula})" if c % 2 else f"Inf({c}) | ({formula})"
    hoa_head(f"parity max even {colours}", formula, colours, out)
    for s in range(3):
        out.write(f"State: {s}\n")
        for letter in LETTERS:
            out.write(f"[{letter}] {rng.randrange(3)} {{{rng.randrange(colours)}}}\n")
    out.write("--END--\n")


def hoa_rabin(pairs, rng, out):
    formula = " | ".join(f"(Fin({2 * i}) & Inf({2 * i + 1}))" for i in range(pairs))
    hoa_head(f"Rabin {pairs}", formula, 2 * pairs, out)
    for s in range(3):
        out.write(f"State: {s}\n")
        for letter in LETTERS:
            marks = sorted(rng.sample(range(2 * pairs), rng.randint(0, 3)))
            mark_text = " {" + " ".join(map(str, marks)) + "}" if marks else ""
            out.write(f"[{letter}] {rng.randrange(3)}{mark_text}\n")
    out.write("--END--\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("kind", choices=["chain", "random", "random-idle", "ring", "redefine", "automaton", "gfa",
                                         "fairness", "chain-pairs", "lossy", "counter", "hoa-parity", "hoa-rabin",
                                         "self-loops", "hyper"])
    parser.add_argument("sizes", nargs="*")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    out = sys.stdout
    if args.kind == "lossy":
        lossy(out)
        return
    if args.kind == "fairness":
        fairness(args.sizes[0], out)
        return
    if args.kind == "self-loops":
        out.write("P = {a.P | b.P} + ?c.P\n")
        return
    if args.kind == "hyper":
        hyper_spec(int(args.sizes[0]), args.sizes[1].split(","), rng, out)
        return
    args.sizes = [int(x) for x in args.sizes]
    if args.kind == "random-idle":
        random_spec(args.sizes[0], rng, out, ACTIONS + ["idle"])
    elif args.kind == "chain-pairs":
        chain_pairs(args.sizes[0], args.sizes[1], rng, out)
    elif args.kind == "chain":
        chain(args.sizes[0], out)
    elif args.kind == "hoa-parity":
        hoa_parity(args.sizes[0], rng, out)
    elif args.kind == "hoa-rabin":
        hoa_rabin(args.sizes[0], rng, out)
    elif args.kind == "random":
        random_spec(args.sizes[0], rng, out)
    elif args.kind == "ring":
        ring(args.sizes[0], out)
    elif args.kind == "counter":
        counter(args.sizes[0], out)
    elif args.kind == "redefine":
        redefine(args.sizes[0], out)
    elif args.kind == "automaton":
        pairs, props, states = args.sizes
        random_automaton(pairs, props, states, rng, out)
    else:
        gfa(args.sizes[0], out)


if __name__ == "__main__":
    main()
