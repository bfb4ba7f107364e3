#include "product/attractor.hpp"

#include "product/product.hpp"

attractor_t::attractor_t(const ra_product_t& game)
    : product(game), dead_end_states(static_cast<uint32_t>(game.state_count), BS_EMPTY) {
    const std::size_t n = static_cast<std::size_t>(game.state_count);
    const std::vector<uint32_t>& begin = game.edge_begin;
    pred_begin.assign(n + 1, 0);
    outside.assign(n, 0);
    for (const product_edge_t& e : game.edges) ++pred_begin[static_cast<std::size_t>(e.target) + 1];
    for (std::size_t t = 0; t < n; ++t) pred_begin[t + 1] += pred_begin[t];
    pred_source.assign(game.edges.size(), 0);
    std::vector<uint32_t> fill(pred_begin.begin(), pred_begin.end() - 1);
    for (std::size_t s = 0; s < n; ++s) {
        outside[s] = begin[s + 1] - begin[s];
        if (outside[s] == 0 && !game.is_choice(static_cast<int>(s))) dead_end_states.set(static_cast<uint32_t>(s));
        for (uint32_t e = begin[s]; e < begin[s + 1]; ++e)
            pred_source[fill[static_cast<std::size_t>(game.edges[e].target)]++] = static_cast<uint32_t>(s);
    }
    layers.reserve(n);
}

bitset_t attractor_t::run(const bitset_t& allowed, const bitset_t& base, bitset_t& ranked, uint32_t& counter,
                          std::vector<uint32_t>& rank) {
    const uint32_t n = static_cast<uint32_t>(product.state_count);
    // The first layer is cpred(empty set), the state nodes without successors,
    // within allowed, together with base.
    bitset_t x = dead_end_states;
    x.intersect_with(allowed);
    x.unite_with(base);
    layers.clear();
    for (uint32_t s = x.next(0); s < n; s = x.next(s + 1)) layers.push_back(s);

    // x holds the members of the layers found so far, including the one being
    // collected, so no state enters twice; outside[] counts only the edges
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
                const uint32_t s = pred_source[p];
                if (x.test(s) || !allowed.test(s)) continue;
                if (product.is_choice(static_cast<int>(s)) || --outside[s] == 0) {
                    x.set(s);
                    layers.push_back(s);
                }
            }
        }
        layer_begin = layer_end;
    }

    // Only state nodes with an edge into X were counted down.
    const std::vector<uint32_t>& begin = product.edge_begin;
    for (uint32_t t : layers)
        for (uint32_t p = pred_begin[t]; p < pred_begin[t + 1]; ++p) {
            const uint32_t s = pred_source[p];
            outside[s] = begin[s + 1] - begin[s];
        }
    return x;
}
