// The attractor: the least fixpoint X = (allowed ∩ cpred(X)) ∪ base, built
// layer by layer from predecessor lists. A choice node joins with its first
// successor in X; a state node keeps the count of its successors outside X and
// joins when it reaches zero. Each state joins once and each predecessor entry
// is looked at once per run, so a run costs O(n + m) for the n states and m
// edges it reaches, plus one word-parallel pass over the bit sets.
#include "product/attractor.hpp"

#include <limits>

attractor_t::attractor_t(const game_view_t& game) : view(game), pred(game.pred) {
    counters.assign(view.n, counter_t{0, 0, 0});
    for (uint32_t s = 0; s < view.n; ++s) counters[s].degree = view.degree(s);
    layers.reserve(view.n);
}

uint32_t attractor_t::next_stamp() {
    if (run_stamp == std::numeric_limits<uint32_t>::max()) {
        for (counter_t& c : counters) c.stamp = 0;
        run_stamp = 0;
    }
    return ++run_stamp;
}

bitset_t attractor_t::run(const bitset_t& allowed, const bitset_t& base, bitset_t& ranked, uint32_t& counter,
                          std::vector<uint32_t>& rank) {
    const uint32_t n = view.n;
    const uint32_t stamp = next_stamp();

    // The first layer is cpred(empty set), the state nodes without successors,
    // within allowed, together with base.
    bitset_t x = view.dead_end_states;
    x.intersect_with(allowed);
    x.unite_with(base);
    layers.clear();
    for (uint32_t s = x.next(0); s < n; s = x.next(s + 1)) layers.push_back(s);

    extend_layers(x, allowed, ranked, counter, rank, stamp);
    return x;
}

void attractor_t::rank_layers(const bitset_t& allowed, const bitset_t& base, const bitset_t& result,
                              bitset_t& ranked, uint32_t& counter, std::vector<uint32_t>& rank) {
    const uint32_t n = view.n;
    bitset_t x = view.dead_end_states;
    x.intersect_with(allowed);
    x.unite_with(base);
    // The first layer ranks its members that carry no rank yet.
    bitset_t fresh = x;
    fresh.subtract(ranked);
    if (!fresh.is_empty()) {
        for (uint32_t s = fresh.next(0); s < n; s = fresh.next(s + 1)) rank[s] = counter;
        ranked.unite_with(fresh);
        ++counter;
    }
    // The second layer: the candidates that the first layer lets in. A
    // state node's count holds its successors outside the first layer.
    bitset_t candidates = result;
    candidates.subtract(x);
    const uint32_t stamp = next_stamp();
    layers.clear();
    for (uint32_t s = candidates.next(0); s < n; s = candidates.next(s + 1)) {
        uint32_t outside = 0;
        for (uint32_t e = view.edge_begin[s]; e < view.edge_begin[s + 1]; ++e)
            outside += !x.test(static_cast<uint32_t>(view.edges[e].target));
        const bool joins = view.is_choice(s) ? outside < counters[s].degree : outside == 0;
        counters[s] = counter_t{stamp, outside, counters[s].degree};
        if (joins) layers.push_back(s);
    }
    for (uint32_t s : layers) x.set(s);
    // Later layers as in run(), among the candidates only: every member of
    // the fixpoint is one, and each is counted already.
    extend_layers(x, candidates, ranked, counter, rank, stamp);
}

void attractor_t::extend_layers(bitset_t& x, const bitset_t& admitted, bitset_t& ranked, uint32_t& counter,
                                std::vector<uint32_t>& rank, uint32_t stamp) {
    // x holds the members of the layers found so far, including the one being
    // collected, so no state enters twice; the counters count only the edges
    // into finished layers, so a state node whose count drops to zero while
    // layer k is walked has all its successors in X_k and joins layer k + 1.
    // A state not yet in X that is admitted may join when an edge into X lets it.
    auto may_join = [&](uint32_t s) { return !x.test(s) && admitted.test(s); };
    std::size_t layer_begin = 0;
    while (layer_begin < layers.size()) {
        const std::size_t layer_end = layers.size();
        bool ranked_any = false;
        for (std::size_t i = layer_begin; i < layer_end; ++i) {
            const uint32_t s = layers[i];
            if (ranked.test(s)) continue;
            ranked.set(s);
            rank[s] = counter;
            ranked_any = true;
        }
        if (ranked_any) ++counter;
        for (std::size_t i = layer_begin; i < layer_end; ++i) {
            const uint32_t t = layers[i];
            for (uint32_t p = pred.begin[t]; p < pred.begin[t + 1]; ++p) {
                const uint32_t entry = pred.source[p];
                const uint32_t s = predecessors_t::state_of(entry);
                if (!may_join(s)) continue;
                if (!predecessors_t::is_choice(entry)) {
                    counter_t& c = counters[s];
                    if (c.stamp != stamp) {
                        c.stamp = stamp;
                        c.outside = c.degree;
                    }
                    if (--c.outside != 0) continue;
                }
                x.set(s);
                layers.push_back(s);
            }
        }
        layer_begin = layer_end;
    }
}
