// Turns the environment's strategy on a solved product into the listing that
// velkin-explain prints: the pairs (product state node, memory) that a play
// can reach, reduced by bisimulation (two states are merged when they name
// the same process, automaton state and hypertransition and their
// alternatives lead to merged states), numbered breadth-first from S0.
#pragma once

#include <iosfwd>
#include <utility>
#include <vector>

#include "check/strategy_listing.hpp"
#include "explain/env_game.hpp"

class ra_product_t;
class env_strategy_t;
struct dmts_t;

strategy_listing_t listing_of(const ra_product_t& product, const env_game_t& game, const env_strategy_t& strategy);

// The (process, must position) pairs the strategy insists on somewhere.
std::vector<std::pair<int, int>> strategy_support(const ra_product_t& product, const env_game_t& game,
                                                  const env_strategy_t& strategy);

// The strategy as a DOT graph: a box per state, a diamond where the
// implementation picks among several alternatives.
void write_strategy_dot(std::ostream& out, const strategy_listing_t& listing);
