// The read-only view of the product game that every engine of the Rabin
// solver reads, built once per solve in O(n + m) for n states and m edges:
// the edge rows (successors), the predecessor rows, which states are choice
// nodes (the implementation's) and which are state nodes (the opponent's),
// the states without moves, and the pairs' good and bad sets. The set
// operations the engines share are written here once: the controllable
// predecessor cpred (Pnueli and Rosner's controllable predecessor, one pass
// over the edges of the states it looks at, O(n + m)), its restriction to a
// set (the same pass over that set's members only), and the pair sets a
// level of the recursion plays in (word-parallel, O(n / 32)).
#pragma once

#include <cstdint>
#include <vector>

#include "support/bitset.hpp"
#include "product/predecessors.hpp"
#include "product/product.hpp"

class game_view_t {
public:
    // The product's edges and pairs must not change while the view lives.
    explicit game_view_t(const ra_product_t& product);

    const uint32_t n;  // states, numbered 0 .. n - 1
    // Successors of s: edges[edge_begin[s] .. edge_begin[s + 1]).
    const std::vector<uint32_t>& edge_begin;
    const std::vector<product_edge_t>& edges;
    const predecessors_t pred;
    bitset_t choice_nodes;
    bitset_t state_nodes;
    bitset_t dead_end_states;   // state nodes without successors: cpred of the empty set
    bitset_t dead_end_choices;  // choice nodes without successors: never in any cpred
    const std::vector<bitset_t>& good;
    const std::vector<bitset_t>& bad;

    bool is_choice(uint32_t s) const { return choice_nodes.test(s); }
    uint32_t degree(uint32_t s) const { return edge_begin[s + 1] - edge_begin[s]; }
    uint32_t pair_count() const { return static_cast<uint32_t>(good.size()); }

    // The controllable predecessor of x: the state nodes all of whose
    // successors lie in x and the choice nodes with a successor in x.
    bitset_t cpred(const bitset_t& x) const;
    // cpred(x) ∩ within, looking only at the members of within.
    bitset_t cpred_within(const bitset_t& x, const bitset_t& within) const;
    // allowed - bad_l: where the plays of pair l may go.
    bitset_t allowed_without_bad(uint32_t l, const bitset_t& allowed) const;
    // (good_l - bad_l) ∩ allowed: the states that count as visits for pair l.
    bitset_t good_within(uint32_t l, const bitset_t& allowed) const;

private:
    bool in_cpred(uint32_t s, const bitset_t& x) const;
};
