// The read-only game view (game_view.hpp): built in one pass over the states,
// O(n) plus the predecessor rows, O(n + m); cpred and its restriction to a
// set are one pass over the edges of the states they look at.
#include "product/game_view.hpp"

#include "product/product.hpp"

game_view_t::game_view_t(const ra_product_t& product)
    : n(static_cast<uint32_t>(product.state_count)),
      edge_begin(product.edge_begin),
      edges(product.edges),
      pred(product),
      choice_nodes(n, BS_EMPTY),
      state_nodes(n, BS_EMPTY),
      dead_end_states(n, BS_EMPTY),
      dead_end_choices(n, BS_EMPTY),
      good(product.good),
      bad(product.bad) {
    for (uint32_t s = 0; s < n; ++s) {
        const bool choice = product.is_choice(static_cast<int>(s));
        (choice ? choice_nodes : state_nodes).set(s);
        if (degree(s) == 0) (choice ? dead_end_choices : dead_end_states).set(s);
    }
}

bool game_view_t::in_cpred(uint32_t s, const bitset_t& x) const {
    // A choice node is in once one successor is in x, a state node out once
    // one is not; the scan stops at the first edge that decides.
    const bool choice = is_choice(s);
    for (uint32_t e = edge_begin[s]; e < edge_begin[s + 1]; ++e)
        if (x.test(static_cast<uint32_t>(edges[e].target)) == choice) return choice;
    return !choice;
}

bitset_t game_view_t::cpred(const bitset_t& x) const {
    bitset_t result(n, BS_EMPTY);
    for (uint32_t s = 0; s < n; ++s)
        if (in_cpred(s, x)) result.set(s);
    return result;
}

bitset_t game_view_t::cpred_within(const bitset_t& x, const bitset_t& within) const {
    bitset_t result(n, BS_EMPTY);
    for (uint32_t s = within.next(0); s < n; s = within.next(s + 1))
        if (in_cpred(s, x)) result.set(s);
    return result;
}

bitset_t game_view_t::allowed_without_bad(uint32_t l, const bitset_t& allowed) const {
    bitset_t allowed_l = allowed;
    allowed_l.subtract(bad[l]);
    return allowed_l;
}

bitset_t game_view_t::good_within(uint32_t l, const bitset_t& allowed) const {
    bitset_t good_l = good[l];
    good_l.subtract(bad[l]);
    good_l.intersect_with(allowed);
    return good_l;
}
