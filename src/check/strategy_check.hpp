// Does a strategy of the environment defeat every implementation? With the
// strategy fixed, only the implementation's choices among the alternatives
// of the hypertransitions the strategy insists on are left, so the strategy
// states form a graph and an implementation is a way through it. The
// implementation beats the strategy when a state the strategy reaches names
// no must hypertransition of the model (the implementation may stop there,
// and a finite run is accepted) or when a reachable cycle satisfies some
// acceptance pair: one strongly connected search per pair over the states
// outside that pair's bad set, O(pairs * strategy size).
#pragma once

#include "check/check_result.hpp"
#include "check/strategy_listing.hpp"

struct dmts_t;
struct rabin_t;

// model is the specification as the game sees it (weakened to the core and
// restricted to deadlock-free implementations when asked); process is the
// initial one. The result holds when the strategy wins; otherwise its lines
// name the fault or the implementation moves that beat the strategy.
check_result_t check_strategy(const dmts_t& model, int process, const rabin_t& automaton,
                              const strategy_listing_t& listing);
