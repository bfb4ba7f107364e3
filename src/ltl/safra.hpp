// The general route: the very weak alternating automaton becomes a
// generalised Büchi automaton with one acceptance set per until subformula
// (Gastin and Oddoux, CAV 2001), a Büchi automaton by the usual counter
// (degeneralisation), and a deterministic Rabin automaton by Safra's
// construction (Safra, "On the complexity of omega-automata", FOCS 1988):
// states are Safra trees, and the pair of node name i asks that i is
// removed finitely often and marked infinitely often.
#pragma once

#include <string>

#include "ltl/dra.hpp"
#include "ltl/vwaa.hpp"

// False with error set when the formula has more until subformulas than the
// acceptance masks hold, or with limits.exceeded set. With restart, the
// degeneralisation counter starts afresh on entering a component of the
// generalised automaton; which of the two gives fewer trees depends on the
// formula.
bool safra_dra(vwaa_t& vwaa, int f, const alphabet_t& alphabet, ltl_limits_t& limits, dra_t& out, std::string& error,
               bool restart);
