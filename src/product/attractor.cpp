#include "product/attractor.hpp"

#include <limits>

#include "product/product.hpp"

attractor_t::attractor_t(const ra_product_t& game)
    : product(game), dead_end_states(static_cast<uint32_t>(game.state_count), BS_EMPTY) {
    const std::size_t n = static_cast<std::size_t>(game.state_count);
    const std::vector<uint32_t>& begin = game.edge_begin;
    pred_begin.assign(n + 1, 0);
    counters.assign(n, counter_t{0, 0, 0});
    for (const product_edge_t& e : game.edges) ++pred_begin[static_cast<std::size_t>(e.target) + 1];
    for (std::size_t t = 0; t < n; ++t) pred_begin[t + 1] += pred_begin[t];
    pred_source.assign(game.edges.size(), 0);
    std::vector<uint32_t> fill(pred_begin.begin(), pred_begin.end() - 1);
    for (std::size_t s = 0; s < n; ++s) {
        const bool choice = game.is_choice(static_cast<int>(s));
        counters[s].degree = begin[s + 1] - begin[s];
        if (counters[s].degree == 0 && !choice) dead_end_states.set(static_cast<uint32_t>(s));
        const uint32_t entry = static_cast<uint32_t>(s) | (choice ? choice_flag : 0u);
        for (uint32_t e = begin[s]; e < begin[s + 1]; ++e)
            pred_source[fill[static_cast<std::size_t>(game.edges[e].target)]++] = entry;
    }
    layers.reserve(n);
}

bitset_t attractor_t::run(const bitset_t& allowed, const bitset_t& base, bitset_t& ranked, uint32_t& counter,
                          std::vector<uint32_t>& rank) {
    const uint32_t n = static_cast<uint32_t>(product.state_count);
    if (run_stamp == std::numeric_limits<uint32_t>::max()) {
        for (counter_t& c : counters) c.stamp = 0;
        run_stamp = 0;
    }
    const uint32_t stamp = ++run_stamp;

    // The first layer is cpred(empty set), the state nodes without successors,
    // within allowed, together with base.
    bitset_t x = dead_end_states;
    x.intersect_with(allowed);
    x.unite_with(base);
    layers.clear();
    for (uint32_t s = x.next(0); s < n; s = x.next(s + 1)) layers.push_back(s);

    // x holds the members of the layers found so far, including the one being
    // collected, so no state enters twice; the counters count only the edges
    // into finished layers, so a state node whose count drops to zero while
    // layer k is walked has all its successors in X_k and joins layer k + 1.
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
            for (uint32_t p = pred_begin[t]; p < pred_begin[t + 1]; ++p) {
                const uint32_t entry = pred_source[p];
                const uint32_t s = entry & ~choice_flag;
                if (x.test(s) || !allowed.test(s)) continue;
                if ((entry & choice_flag) == 0) {
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
    return x;
}
