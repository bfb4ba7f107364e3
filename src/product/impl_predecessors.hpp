// The implementation's transitions turned around: for every target state,
// the action and source of each transition into it. Minimisation asks for
// the predecessors of a whole block under one action at a time, and walks
// these lists block by block to get them.
#pragma once

#include <cstdint>
#include <vector>

struct impl_transition_t;

struct impl_predecessors_t {
    struct entry_t {
        int action;
        int source;
    };
    // The transitions into t: entries[begin[t] .. begin[t + 1]), in the
    // order of the transition list they were taken from.
    std::vector<uint32_t> begin;
    std::vector<entry_t> entries;

    // Fills the table from transitions among the states 0 .. state_count-1.
    void assign(int state_count, const std::vector<impl_transition_t>& transitions);
};
