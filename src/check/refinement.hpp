// Modal refinement of an implementation (an LTS) against a process of a
// DMTS, decided as a greatest fixpoint by counting: every pair (state,
// process) met from the initial pair keeps one counter per implementation
// transition (matching may transitions into live pairs) and one per must
// hypertransition (matching implementation transitions into live pairs);
// a counter that reaches zero kills its pair, and dead pairs are propagated
// through a worklist, so the work is linear in the pair graph.
#pragma once

#include "check/check_result.hpp"
#include "check/lts.hpp"

struct dmts_t;

// Does state 0 of impl refine process of spec? Actions are matched by name;
// an action the specification never names is allowed nowhere.
check_result_t check_refinement(const dmts_t& spec, int process, const lts_t& impl);
