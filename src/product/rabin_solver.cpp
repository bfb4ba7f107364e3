// The Rabin game solver (rabin_solver.hpp): one pair by the one-pair engine's
// greatest fixpoint and a ranked attractor, O(n + m) usually; two or more by
// the replay of the nested fixpoint's surviving rounds over the set engine,
// at most n ranked calls of one region query per chain step.
#include "product/rabin_solver.hpp"

#include "product/product.hpp"

rabin_solver_t::rabin_solver_t(ra_product_t& game)
    : product(game), view(game), n(view.n), attractor(view), one_pair(view) {}

bitset_t rabin_solver_t::Rabin(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                               uint32_t& counter) {
    if (pairs == 0) return bitset_t(n, BS_EMPTY);
    if ((pairs & (pairs - 1)) == 0)
        return one_pair_level(static_cast<uint32_t>(__builtin_ctzll(pairs)), allowed, goal, ranked, counter);
    if (!regions) regions.emplace(view, one_pair);
    return replay(pairs, allowed, goal, ranked, counter);
}

bitset_t rabin_solver_t::one_pair_level(uint32_t l, const bitset_t& allowed, const bitset_t& goal,
                                        bitset_t& ranked, uint32_t& counter) {
    // The incremental engine finds the fixpoint; one ranked attractor run of
    // its base then repeats the plain iteration's last round, the only round
    // whose ranks survive.
    const bitset_t allowed_l = view.allowed_without_bad(l, allowed);
    const bitset_t good_l = view.good_within(l, allowed);
    bitset_t b(n, BS_EMPTY);
    one_pair.greatest(allowed_l, good_l, goal, b);
    return attractor.run(allowed_l, b, ranked, counter, product.rank);
}

bitset_t rabin_solver_t::replay(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                               uint32_t& counter) {
    const std::vector<bitset_t> pair_sets = regions->pair_regions(pairs, allowed, goal);
    bitset_t result(n, BS_EMPTY);
    for_each_pair(pairs, [&](uint32_t l) { result.unite_with(pair_sets[l]); });
    if (is_subset(result, ranked)) return result;

    bitset_t acc_ranked = ranked;
    uint32_t acc_counter = counter;
    for_each_pair(pairs, [&](uint32_t l) {
        const bitset_t& y = pair_sets[l];
        if (is_subset(y, acc_ranked)) return;
        const uint64_t rest = without_pair(pairs, l);
        const bitset_t allowed_l = view.allowed_without_bad(l, allowed);
        // (good_l ∩ cpred(y)) ∪ goal: y holds that set, and its members
        // outside goal are in cpred(y), so good_l ∩ y plus goal is the same.
        bitset_t b = view.good_within(l, allowed);
        b.intersect_with(y);
        b.unite_with(goal);

        // The last round over Y, the one whose ranks survive.
        bitset_t h = acc_ranked;
        uint32_t r = acc_counter;
        if (rest == 0) {
            attractor.rank_layers(allowed_l, b, y, h, r, product.rank);
        } else {
            // K lies within y, so cpred is needed only there.
            bitset_t y_allowed = y;
            y_allowed.intersect_with(allowed_l);
            y_allowed.subtract(b);
            bitset_t x(n, BS_EMPTY);
            for (;;) {  // least fixpoint over X, which ends at y
                // cpred of the empty set: the state nodes without successors.
                bitset_t k = x.is_empty() ? view.dead_end_states : view.cpred_within(x, y_allowed);
                if (x.is_empty()) k.intersect_with(y_allowed);
                k.unite_with(b);
                bitset_t next = regions->region(rest, allowed_l, k, &y);
                // The ranked call leaves all of next in h, so the ranking pass
                // after it has nothing to add.
                if (!is_subset(next, h)) replay(rest, allowed_l, k, h, r);
                // Once X is y, later steps return y again and rank nothing.
                if (next.equals(y) || next.equals(x)) break;
                x = std::move(next);
            }
        }
        acc_ranked = std::move(h);
        acc_counter = r;
    });
    ranked = std::move(acc_ranked);
    counter = acc_counter;
    return result;
}
