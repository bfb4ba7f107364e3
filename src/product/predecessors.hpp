// The product's edges turned around: for every state, the sources of the edges
// that enter it. The solver's incremental fixpoints walk these lists when a
// state joins or leaves a set, so that they touch only the states it affects.
#pragma once

#include <cstdint>
#include <vector>

class ra_product_t;

struct predecessors_t {
    // Predecessors of t: source[begin[t] .. begin[t+1]), one entry per edge,
    // so a source with two edges into t appears twice. A choice node's entry
    // carries choice_flag, so a walk never has to look the source up in the
    // product's state table.
    static constexpr uint32_t choice_flag = 0x80000000u;
    std::vector<uint32_t> begin;
    std::vector<uint32_t> source;

    explicit predecessors_t(const ra_product_t& product);

    static uint32_t state_of(uint32_t entry) { return entry & ~choice_flag; }
    static bool is_choice(uint32_t entry) { return (entry & choice_flag) != 0; }
};
