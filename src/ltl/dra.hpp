// A deterministic Rabin automaton over an alphabet of letters: every set of
// propositions (2^AP letters, where bit j of a letter says that proposition
// j holds), or in action mode only the letters velkin reads, one proposition
// alone or none (AP + 1 letters). The successor table is dense
// (state * letter_count + letter index). Acceptance is on states: a run is accepted
// when for some pair it visits the pair's fin states finitely often and its
// inf states infinitely often. The state limit travels with the automata so
// that every construction stops as soon as a result would exceed it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ltl_limits_t {
    int max_states = 100000;
    bool exceeded = false;        // set by the construction that gave up
    bool table_exceeded = false;  // ... because of the successor table, not the state count
    // Caps the successor table as well, so 16 propositions cannot exhaust memory.
    static constexpr std::uint64_t max_table_entries = std::uint64_t{1} << 26;
    // True (and exceeded set) when states automaton states over letter_count letters are too many.
    bool too_many(std::uint64_t states, std::uint64_t letter_count);
};

// The letters an automaton is defined on. Letter indices run from 0 to
// letter_count() - 1; letter(i) is the set of propositions that hold in it.
// In action mode index 0 is the letter in which none holds and index j + 1
// the letter in which proposition j holds alone.
struct alphabet_t {
    int prop_count = 0;
    bool actions = false;

    int letter_count() const { return actions ? prop_count + 1 : 1 << prop_count; }
    std::uint64_t letter(int index) const {
        if (!actions) return static_cast<std::uint64_t>(index);
        return index == 0 ? 0 : std::uint64_t{1} << (index - 1);
    }
    // The index of a letter given as a set of propositions; in action mode
    // the set holds at most one proposition.
    int index_of(std::uint64_t set) const;
};

struct rabin_pair_t {
    std::vector<char> fin;  // per state
    std::vector<char> inf;  // per state
};

struct dra_t {
    alphabet_t alphabet;
    int state_count = 0;
    int start = 0;
    std::vector<int> delta;
    std::vector<rabin_pair_t> pairs;

    int letter_count() const { return alphabet.letter_count(); }
    int successor(int state, int letter) const {
        return delta[static_cast<std::size_t>(state) * static_cast<std::size_t>(letter_count()) +
                     static_cast<std::size_t>(letter)];
    }
    // The pair's acceptance is fin-only ("visit fin finitely often") when
    // every state not in fin is in inf.
    bool is_fin_only() const;
};

// Automata for the two constants.
dra_t constant_dra(const alphabet_t& alphabet, bool accept_all);

// Removes unreachable states (renumbering breadth-first from the start, which
// becomes 0), simplifies the pairs (states outside every cycle and
// subsumed or duplicate pairs say nothing) and merges states with equal
// successors and equal pair membership by signature refinement.
void reduce_dra(dra_t& a);

// A weak automaton with one pair (every cycle of states entirely accepting or
// entirely rejecting) rewritten as the fin-only automaton: finitely often in the
// rejecting strongly connected components. Returns false and leaves a alone otherwise.
bool make_fin_only_if_weak(dra_t& a);

// Boolean combinations by the synchronous product. The disjunction keeps both
// automata's pairs; the conjunction needs one side fin-only or both with one
// pair (then a two-phase flag waits for each side's inf states in turn).
// Return false when the combination is not one of these or exceeds the limit.
bool dra_or(const dra_t& a, const dra_t& b, ltl_limits_t& limits, dra_t& result);
bool dra_and(const dra_t& a, const dra_t& b, ltl_limits_t& limits, dra_t& result);

// One pair with no fin states: a Büchi automaton.
bool is_buchi(const dra_t& a);
// The conjunction of several Büchi automata in one product, with a counter
// of the part whose inf states it waits for (the degeneralisation of their
// generalised Büchi condition): k parts cost a factor k + 1, not the factor
// 3 per part that nested two-phase products take.
bool dra_and_buchi(const std::vector<const dra_t*>& parts, ltl_limits_t& limits, dra_t& result);

// The accepted language of a on the ultimately periodic word prefix.cycle^omega
// (letters as sets of propositions, bit j for proposition j); cycle must not be empty.
bool dra_accepts(const dra_t& a, const std::vector<std::uint64_t>& prefix, const std::vector<std::uint64_t>& cycle);
