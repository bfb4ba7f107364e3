// Strong bisimilarity of labelled transition systems, by signature
// refinement: a state's signature is its block together with the set of
// (action, target block) pairs it has; states are regrouped by signature
// until the number of blocks stops growing. Actions are compared by name,
// so two systems with separate name tables can be compared.
#pragma once

#include <vector>

#include "check/lts.hpp"

// The coarsest bisimulation of lts: a class number for every state.
std::vector<int> bisimulation_classes(const lts_t& lts);

// Are the initial states (state 0) of the two systems bisimilar?
bool bisimilar(const lts_t& x, const lts_t& y);

// The two systems side by side: the states of x, then those of y (numbers
// shifted by x's state count), over the union of their action names.
lts_t disjoint_union(const lts_t& x, const lts_t& y);
