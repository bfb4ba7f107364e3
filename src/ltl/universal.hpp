// A direct deterministic Büchi automaton for formulas whose alternating
// automaton never has to guess outside its co-safe states: in every other
// state, for every letter, one of the possible transitions asks for a subset
// of what every other asks for. Taking that least transition everywhere gives
// the only run worth considering, so the subset construction is exact, and the
// Miyano-Hayashi breakpoint (a set of until states and obligations that have
// kept waiting since the last breakpoint; accept when it runs empty) decides
// whether some path waits for ever. Co-safe states (no release below them)
// accept by finite run trees, so all their choices are kept at once as one
// obligation, the disjunction of their configurations, which moves
// deterministically until it is met. This covers G F p, G (p -> F q), chains of
// responses such as G (a -> F (b & F (c & F d))), safety and many obligation
// formulas with a handful of states; applied to the negation and complemented
// it covers F G p and its kin.
#pragma once

#include "ltl/dra.hpp"
#include "ltl/vwaa.hpp"

// Builds the automaton of f with one pair (nothing finitely often, the
// breakpoints infinitely often). Returns false when f's automaton has to
// guess somewhere, or when limits are exceeded (limits.exceeded tells).
bool universal_dba(vwaa_t& vwaa, int f, const alphabet_t& alphabet, ltl_limits_t& limits, dra_t& out);

// The same automaton with the pair complemented (the breakpoints finitely
// often): the automaton of !f when given f.
void complement_dba(dra_t& a);
