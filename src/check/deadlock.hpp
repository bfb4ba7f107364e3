// Deadlock freedom of an implementation: no state reachable from state 0 is
// without transitions. A breadth-first search finds the nearest offender, so
// the reported path is a shortest one.
#pragma once

#include "check/check_result.hpp"
#include "check/lts.hpp"

check_result_t check_deadlock_free(const lts_t& impl);

// The shortest path of edges from state 0 to every state: the edge index
// that first reached each state (-1 for state 0 and unreached states).
std::vector<int> breadth_first_parents(const lts_t& impl);

// "I0 --a--> I1 --b--> I3" for the path that parents gives to target.
std::string path_text(const lts_t& impl, const std::vector<int>& parent_edge,
                      const std::vector<int>& edge_source, int target);
