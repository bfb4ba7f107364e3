// The very weak alternating automaton of a formula in negation normal form,
// after Gastin and Oddoux, "Fast LTL to Büchi automata translation" (CAV
// 2001). Its states are subformulas; a transition is a letter condition (a
// cube: propositions that must hold and propositions that must not) with a
// set of states that must all accept the rest of the word. A run accepts when
// no path stays for ever in an until state. The transitions are memoised per
// subformula and kept free of dominated terms (a weaker condition leading to
// fewer obligations makes the other term useless).
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "ltl/formula.hpp"

// In action mode a proposition p is the cube (pos {p}, neg everything else):
// on the letters with at most one proposition that is exact, and it makes
// matches, implies and the emptiness test of a conjunction (pos & neg) exact
// on those letters too, so two different propositions conjoined vanish.
struct cube_t {
    std::uint64_t pos = 0;  // propositions that must hold
    std::uint64_t neg = 0;  // propositions that must not hold
    bool matches(std::uint64_t letter) const { return (letter & pos) == pos && (letter & neg) == 0; }
    // Every letter of this cube is a letter of other.
    bool implies(const cube_t& other) const { return (pos & other.pos) == other.pos && (neg & other.neg) == other.neg; }
};

using state_set_t = std::vector<int>;  // sorted subformula ids

struct vwaa_term_t {
    cube_t cube;
    state_set_t states;
};

class vwaa_t {
public:
    // actions: read on the letters with at most one proposition only.
    vwaa_t(const ltl_pool_t& pool, bool actions) : pool(pool), actions(actions) {}

    // The transitions of any formula read as a conjunction of states.
    const std::vector<vwaa_term_t>& delta(int f);
    // The transitions of a set of states (their conjunction); {} gives true.
    // Dominated terms stay: whether one may go depends on the acceptance
    // marks, which only the generalised Büchi automaton knows.
    std::vector<vwaa_term_t> delta_of_set(const state_set_t& states);
    // The formula as a disjunction of state sets (the initial configurations,
    // and the targets of X), supersets removed.
    std::vector<state_set_t> initial(int f);

    bool is_until_state(int f) const { return pool.op(f) == ltl_op_t::until; }
    const ltl_pool_t& formulas() const { return pool; }

    // Nested until and release operators can make the transitions of one
    // state exponential in the formula; past this many terms in one
    // conjunction or disjunction the automaton is given up (the results
    // computed after that are meaningless, so callers must check).
    static constexpr std::size_t max_terms = 16384;
    // The memoised transitions of all states together are bounded as well
    // (in stored state numbers), which bounds both memory and the time the
    // dominance checks take.
    static constexpr std::size_t max_stored = std::size_t{1} << 22;
    bool overflowed() const { return overflow; }

private:
    std::vector<vwaa_term_t> conjoin_bounded(const std::vector<vwaa_term_t>& a, const std::vector<vwaa_term_t>& b,
                                             bool drop_dominated);
    std::vector<vwaa_term_t> disjoin_bounded(const std::vector<vwaa_term_t>& a, const std::vector<vwaa_term_t>& b);

    const ltl_pool_t& pool;
    const bool actions;
    bool overflow = false;
    std::size_t stored = 0;
    std::unordered_map<int, std::vector<vwaa_term_t>> cache;
};

bool is_subset(const state_set_t& a, const state_set_t& b);
state_set_t set_union(const state_set_t& a, const state_set_t& b);
// The pairwise conjunction of two transition sets, optionally without the
// dominated terms (sound inside one state's transitions only).
std::vector<vwaa_term_t> conjoin(const std::vector<vwaa_term_t>& a, const std::vector<vwaa_term_t>& b,
                                 bool drop_dominated = true);
