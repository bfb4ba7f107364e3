// LTL to deterministic Rabin automaton. Each subformula takes the cheapest
// route that applies: the direct deterministic Büchi automaton of it or of
// its negation; for a conjunction or disjunction, the product of the parts'
// automata; otherwise Safra's construction. Every intermediate result is reduced.
#pragma once

#include <string>

#include "ltl/dra.hpp"
#include "ltl/formula.hpp"

// Every letter is tabulated in general; in action mode (only the letters
// with at most one proposition) the bound is the width of a letter cube.
constexpr int ltl_max_props = 16;
constexpr int ltl_max_action_props = 64;

// False with error set ("...") when the automaton cannot be built within the
// limits; the message names the limit and whether raising -l can help.
// actions: the automaton has to be right on the letters with at most one
// proposition only, and is built on those letters alone. construction, when
// given, receives the route that built the result: "constant", "Büchi" (the
// direct automaton), "co-Büchi" (that of the negation, complemented),
// "product" (of the parts' automata) or "Safra".
bool translate_ltl(ltl_pool_t& pool, int f, ltl_limits_t& limits, dra_t& out, std::string& error,
                   bool actions = false, std::string* construction = nullptr);
