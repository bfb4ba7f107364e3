// Does every maximal run of an implementation satisfy a deterministic Rabin
// automaton? The runs are read on the product of the implementation with the
// automaton; finite maximal runs are accepted. A rejected infinite run exists
// exactly when some reachable strongly connected part of the product has,
// for every acceptance pair, either a bad state or no good state (the
// complementary Streett condition). Components are found with an iterative
// Tarjan search; a component that fails the test for some pair loses that
// pair's good states and is decomposed again, which can happen at most once
// per pair along any nesting, so the work is O(pairs * product).
#pragma once

#include <vector>

#include "check/check_result.hpp"
#include "check/lts.hpp"

struct rabin_t;

// A rejected run as a lasso: the implementation edges (indices into
// lts_t::edges) of a finite prefix from state 0 and of a cycle repeated for
// ever. Both empty when every run is accepted or the product is incomplete.
struct lasso_t {
    std::vector<int> prefix;
    std::vector<int> cycle;
};

check_result_t check_satisfaction(const lts_t& impl, const rabin_t& automaton, lasso_t* lasso = nullptr);

// The letter of each implementation action: the index of the proposition of
// the same name (the last one when several share it), or -1.
std::vector<int> action_letters(const lts_t& impl, const rabin_t& automaton);
