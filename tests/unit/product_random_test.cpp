#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "random_game_models.hpp"

using namespace product_test;

namespace {

// The product built the plain way: an ordered map as the index, the edges
// sorted by source afterwards with a stable sort.
struct plain_product_t {
    std::vector<std::tuple<int, int, int>> states;
    std::vector<std::tuple<int, int, int>> edges;  // source, action, target
    int missing_reports = 0;
};

plain_product_t plain_product(const rabin_t& a, const dmts_t& model, int process) {
    plain_product_t out;
    std::vector<int> letter(static_cast<std::size_t>(model.action_count), -1);
    for (std::size_t j = 0; j < a.ap.size(); ++j) {
        const int action = model.action_index.find(a.ap[j]);
        if (action >= 0) letter[static_cast<std::size_t>(action)] = static_cast<int>(j);
    }
    std::map<std::tuple<int, int, int>, int> number;
    auto store = [&](std::tuple<int, int, int> s) {
        auto [it, fresh] = number.emplace(s, static_cast<int>(out.states.size()));
        if (fresh) out.states.push_back(s);
        return std::make_pair(it->second, fresh);
    };
    auto next = [&](int q, int action) {
        int t = q < 0 ? -1 : a.delta[static_cast<std::size_t>(q * a.letter_count() + letter[static_cast<std::size_t>(action)] + 1)];
        if (t < 0) ++out.missing_reports;
        return t;
    };
    std::vector<int> queue{store({a.start, process, -1}).first};
    for (std::size_t head = 0; head < queue.size(); ++head) {
        int u = queue[head];
        auto [q, p, unused] = out.states[static_cast<std::size_t>(u)];
        (void)unused;
        int k = 0;
        for (const alternatives_t h : model.processes[static_cast<std::size_t>(p)]->must) {
            int source = u;
            if (h.size() != 1) {
                source = store({q, p, k++}).first;
                out.edges.emplace_back(u, -1, source);
            }
            for (const transition_t& t : h) {
                auto [n, fresh] = store({next(q, t.action), t.target, -1});
                out.edges.emplace_back(source, t.action, n);
                if (fresh) queue.push_back(n);
            }
        }
    }
    std::stable_sort(out.edges.begin(), out.edges.end(),
                     [](const auto& x, const auto& y) { return std::get<0>(x) < std::get<0>(y); });
    return out;
}

void expect_same_product(const ra_product_t& product, const plain_product_t& plain, const std::string& errors) {
    ASSERT_EQ(product.state_count, static_cast<int>(plain.states.size()));
    ASSERT_EQ(product.states.size(), plain.states.size());
    for (std::size_t n = 0; n < plain.states.size(); ++n) {
        const auto& s = product.states[n];
        ASSERT_EQ(std::make_tuple(s.ra_state, s.process, s.choice), plain.states[n]) << "state " << n;
    }
    ASSERT_EQ(product.edge_begin.size(), plain.states.size() + 1);
    std::vector<std::tuple<int, int, int>> edges;
    for (int s = 0; s < product.state_count; ++s)
        for (uint32_t e = product.edge_begin[static_cast<std::size_t>(s)]; e < product.edge_begin[static_cast<std::size_t>(s) + 1]; ++e)
            edges.emplace_back(s, product.edges[e].action, product.edges[e].target);
    EXPECT_EQ(edges, plain.edges);
    std::string expected_errors;
    for (int i = 0; i < plain.missing_reports; ++i) expected_errors += "FATAL ERROR\n";
    EXPECT_EQ(errors, expected_errors);
}

}  // namespace

TEST(ProductRandom, NumberingAndEdgesMatchThePlainConstruction) {
    std::mt19937 rng(20261208);
    random_shape_t small;
    small.missing = 0.05;
    for (int round = 0; round < 500; ++round) {
        random_case_t c = random_case(rng, small);
        std::string errors;
        auto product = build(c.automaton, *c.model, c.process, &errors);
        SCOPED_TRACE("round " + std::to_string(round));
        expect_same_product(*product, plain_product(c.automaton, *c.model, c.process), errors);
        if (HasFatalFailure()) return;
    }
}

TEST(ProductRandom, LargeProductsKeepTheNumberingWhileTheIndexGrows) {
    std::mt19937 rng(7);
    random_shape_t large;
    large.max_processes = 400;
    large.max_automaton_states = 40;
    int biggest = 0;
    for (int round = 0; round < 6; ++round) {
        random_case_t c = random_case(rng, large);
        std::string errors;
        auto product = build(c.automaton, *c.model, c.process, &errors);
        biggest = std::max(biggest, product->state_count);
        SCOPED_TRACE("round " + std::to_string(round));
        expect_same_product(*product, plain_product(c.automaton, *c.model, c.process), errors);
        if (HasFatalFailure()) return;
    }
    // At least one product must be large enough to have grown the index.
    EXPECT_GT(biggest, 1000);
}
