// Game graphs written straight into a product, for the solver tests that
// need shapes no model produces, such as choice nodes without successors.
#pragma once

#include <random>
#include <vector>

#include "product_test_support.hpp"

namespace product_test {

// A game graph written straight into a product, without a model: the
// solvers read only the states' kinds, the edges, the good and bad sets and
// the automaton's number of pairs.
struct synthetic_game_t {
    rabin_t acceptance;
    ra_product_t product;

    synthetic_game_t(const std::vector<std::vector<int>>& successors, const std::vector<bool>& choice, int pairs)
        : acceptance(automaton(1, pairs, {})), product(&acceptance, nullptr, 0) {
        const int n = static_cast<int>(successors.size());
        product.state_count = n;
        product.edge_begin.push_back(0);
        for (int s = 0; s < n; ++s) {
            product.states.push_back({0, s, choice[static_cast<std::size_t>(s)] ? 0 : -1});
            for (int t : successors[static_cast<std::size_t>(s)]) product.edges.push_back({0, t});
            product.edge_begin.push_back(static_cast<uint32_t>(product.edges.size()));
        }
        product.good.assign(static_cast<std::size_t>(pairs), bitset_t(static_cast<uint32_t>(n), BS_EMPTY));
        product.bad.assign(static_cast<std::size_t>(pairs), bitset_t(static_cast<uint32_t>(n), BS_EMPTY));
    }
};

inline bitset_t random_set(std::mt19937& rng, uint32_t n, double density) {
    std::bernoulli_distribution member(density);
    bitset_t s(n, BS_EMPTY);
    for (uint32_t i = 0; i < n; ++i)
        if (member(rng)) s.set(i);
    return s;
}

}  // namespace product_test
