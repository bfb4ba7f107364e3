// With one action per step, a conjunction whose two sides each need some
// proposition to hold now, and never the same one, cannot hold: such a
// formula is most likely a mistake (G F (press & walk)), so velkin-ltl -a warns.
#pragma once

#include <cstddef>
#include <vector>

#include "ltl/formula.hpp"
#include "ltl/parser.hpp"

// The columns of the conjunctions that stand positively in the formula and
// can never hold at their step when at most one proposition holds per step,
// in the order given.
std::vector<std::size_t> impossible_conjunctions(const ltl_pool_t& pool, const std::vector<ltl_conjunction_t>& conjunctions);
