// LTL to deterministic Rabin automaton. Each subformula takes the cheapest
// route that applies: the direct deterministic Büchi automaton of it or of
// its negation; for a conjunction or disjunction, the product of the parts'
// automata; otherwise Safra's construction. Every intermediate result is reduced.
#pragma once

#include <string>

#include "ltl/dra.hpp"
#include "ltl/formula.hpp"

constexpr int ltl_max_props = 16;

// False with error set ("...") when the automaton cannot be built within the limits.
bool translate_ltl(ltl_pool_t& pool, int f, ltl_limits_t& limits, dra_t& out, std::string& error);
