// Deterministic generators of small random inputs for the property tests:
// specifications in the specification language and Rabin automata in the
// automaton file format. The generator draws from a fixed 64-bit recurrence,
// not from <random> distributions, so one seed gives the same text on every
// platform.
#pragma once

#include <cstdint>
#include <string>

class random_source_t {
public:
    explicit random_source_t(uint64_t seed) : state_(seed * 0x9e3779b97f4a7c15ull + 1) {}
    // A number in 0 .. bound - 1 (bound > 0).
    int below(int bound);
    bool chance(int percent) { return below(100) < percent; }

private:
    uint64_t state_;
};

// A specification of 1-4 named processes P0, P1, ... over the actions a, b,
// c and d: may transitions, must transitions, brace groups of 1-3
// alternatives, the nil process and, sometimes, inline processes and
// processes that are referred to but never defined. P0 is the one to solve.
std::string random_specification(random_source_t& random);

// A specification of 2-5 processes P0, P1, ... over the actions a, b and c
// made of must transitions only, several per process, and some brace
// groups of two: games where the environment has choices to make.
std::string random_game_specification(random_source_t& random);

// An automaton of 1-4 states with 0-3 acceptance pairs over 1-2
// propositions named like some actions (a, b, c, or x, which no action has).
std::string random_automaton(random_source_t& random);

// An automaton over a, b and c whose state records the last action (0 for
// any other) with two or three pairs: pair i holds when the i-th action
// occurs only finitely often. Against it the environment must make several
// actions recur, which often needs memory.
std::string letter_tracking_automaton(random_source_t& random);

// The same with min_pairs to max_pairs acceptance pairs.
std::string random_automaton(random_source_t& random, int min_pairs, int max_pairs);
