// The Rabin game on the product: state nodes belong to the opponent, choice
// nodes to the implementation. The winning region is the nested fixpoint over
// the acceptance pairs, every order of the pairs explored down the recursion;
// the rank of a state is the step counter's value when it first joined.
// Rabin() is the nested fixpoint for Rabin games: for each pair l still
// available, a greatest fixpoint over Y (stay out of bad[l], see good[l] again)
// around a least fixpoint over X whose every step solves the game of the
// remaining pairs within the states outside bad[l]. Cost, for k pairs, n states
// and m edges: both fixpoints take at most n + 1 rounds and each round a cpred
// pass of O(n + m), so a level costs (n + 1)^2 times the level below, over
// every order of the pairs: O(k! * n^(2k - 2)) calls of the last level, where
// one pair is left and the incremental engines (pair_fixpoint.hpp, then one
// attractor run) take O(n * (n + m)) at most and usually O(n + m).
// With two or more pairs (up to the 64 the readers accept) the recursion runs
// in rabin_solver_t, which finds the same sets, ranks and counter by solving
// Rabin games for the sets and replaying only the calls that rank new
// states; with one pair the recursion is a single level that the one-pair
// engine already makes cheap.
#include <optional>

#include "product/attractor.hpp"
#include "product/pair_fixpoint.hpp"
#include "product/product.hpp"
#include "product/rabin_solver.hpp"

bitset_t ra_product_t::cpred(const bitset_t& x) const {
    // Every state node starts in, every choice node out; a source is left as
    // soon as one edge decides it. The pass streams through the edges; which
    // kind a state is comes from the bitset, not from the larger state table.
    bitset_t result = *state_nodes;
    for (int s = 0; s < state_count; ++s) {
        const uint32_t begin = edge_begin[static_cast<std::size_t>(s)];
        const uint32_t end = edge_begin[static_cast<std::size_t>(s) + 1];
        if (!state_nodes->test(static_cast<uint32_t>(s))) {
            for (uint32_t e = begin; e < end; ++e)
                if (x.test(static_cast<uint32_t>(edges[e].target))) {
                    result.set(static_cast<uint32_t>(s));
                    break;
                }
        } else {
            for (uint32_t e = begin; e < end; ++e)
                if (!x.test(static_cast<uint32_t>(edges[e].target))) {
                    result.unset(static_cast<uint32_t>(s));
                    break;
                }
        }
    }
    return result;
}

bitset_t ra_product_t::Rabin(const bitset_t& pairs, const bitset_t& allowed, const bitset_t& goal,
                             bitset_t& ranked, uint32_t& counter) {
    const uint32_t n = static_cast<uint32_t>(state_count);
    bitset_t result(n, BS_EMPTY);
    bitset_t acc_ranked = ranked;
    uint32_t acc_counter = counter;
    for (uint32_t l = 0; l < pairs.capacity(); ++l) {
        if (!pairs.test(l)) continue;
        bitset_t rest = pairs;
        rest.unset(l);
        // Neither depends on Y: the states that may be visited while pair l
        // is pursued, and the good states of l among them.
        bitset_t allowed_l = allowed;
        allowed_l.subtract(bad[l]);
        bitset_t good_l = good[l];
        good_l.subtract(bad[l]);
        good_l.intersect_with(allowed);

        bitset_t y;
        bitset_t h;
        uint32_t r = 0;
        if (rest.is_empty()) {
            // The incremental engine finds the fixpoint; one ranked attractor
            // run of its base then repeats the plain iteration's last round,
            // the only round whose ranks survive.
            bitset_t b(n, BS_EMPTY);
            pair_fixpoint->greatest(allowed_l, good_l, goal, b);
            h = acc_ranked;
            r = acc_counter;
            y = attractor->run(allowed_l, b, h, r, rank);
        } else {
            y = bitset_t(n, BS_FULL);
            for (;;) {  // greatest fixpoint over Y
                // The ranks of one iteration over Y are dropped when the next starts.
                h = acc_ranked;
                r = acc_counter;
                bitset_t b = cpred(y);
                b.intersect_with(good_l);
                b.unite_with(goal);
                bitset_t x(n, BS_EMPTY);
                for (;;) {  // least fixpoint over X
                    bitset_t k = cpred(x);
                    k.intersect_with(allowed_l);
                    k.unite_with(b);
                    bitset_t next = Rabin(rest, allowed_l, k, h, r);
                    // Members of X that carry no rank yet share the next value.
                    bitset_t fresh = next;
                    fresh.subtract(h);
                    uint32_t s = fresh.next(0);
                    if (s < n) {
                        for (; s < n; s = fresh.next(s + 1)) rank[s] = r;
                        h.unite_with(fresh);
                        ++r;
                    }
                    const bool stable = next.equals(x);
                    x = std::move(next);
                    if (stable) break;
                }
                const bool stable = x.equals(y);
                y = std::move(x);
                if (stable) break;
            }
        }
        result.unite_with(y);
        acc_ranked.unite_with(h);
        acc_counter = r;
    }
    ranked = std::move(acc_ranked);
    counter = acc_counter;
    return result;
}

void ra_product_t::solve() {
    const uint32_t n = static_cast<uint32_t>(state_count);
    state_nodes = std::make_unique<bitset_t>(n, BS_EMPTY);
    for (uint32_t s = 0; s < n; ++s)
        if (states[s].choice < 0) state_nodes->set(s);
    rank.assign(n, 0);
    const predecessors_t predecessors(*this);
    attractor_t engine(*this, predecessors);
    attractor = &engine;
    pair_fixpoint_t one_pair(*this, predecessors);
    pair_fixpoint = &one_pair;

    const uint32_t pair_total = static_cast<uint32_t>(good.size());
    std::optional<rabin_solver_t> several_pairs;
    if (pair_total >= 2) several_pairs.emplace(*this, predecessors, engine, one_pair);
    const uint64_t pair_mask = pair_total >= 64 ? ~uint64_t{0} : (uint64_t{1} << pair_total) - 1;

    uint32_t counter = 0;
    bitset_t ranked(n, BS_EMPTY);
    bitset_t pairs(pair_total, BS_FULL);
    const bitset_t everything(n, BS_FULL);
    bitset_t y(n, BS_EMPTY);
    for (bool first = true;; first = false) {  // least fixpoint over the winning region
        bitset_t goal = cpred(y);
        // With one pair, a region just returned that already holds every state
        // able to force a step into it is stable: the next round would return
        // it unchanged, and so rank nothing, as every member has its rank.
        if (!first && pairs.capacity() == 1) {
            bitset_t outside = goal;
            outside.subtract(y);
            if (outside.is_empty()) break;
        }
        bitset_t next = several_pairs ? several_pairs->rabin(pair_mask, everything, goal, ranked, counter)
                                      : Rabin(pairs, everything, goal, ranked, counter);
        const bool stable = next.equals(y);
        y = std::move(next);
        if (stable) break;
    }
    win = std::make_unique<bitset_t>(y);

    // Least rank among the winning successors of each winning choice node; a
    // later edge replaces the value only with a strictly smaller rank.
    best_rank.assign(n, 0);
    for (uint32_t s = win->next(0); s < n; s = win->next(s + 1)) {
        if (states[s].choice < 0) continue;
        bool found = false;
        for (uint32_t e = edge_begin[s]; e < edge_begin[s + 1]; ++e) {
            const uint32_t t = static_cast<uint32_t>(edges[e].target);
            if (!win->test(t)) continue;
            if (!found || rank[t] < best_rank[s]) best_rank[s] = rank[t];
            found = true;
        }
    }
    attractor = nullptr;
    pair_fixpoint = nullptr;
    state_nodes.reset();
}
