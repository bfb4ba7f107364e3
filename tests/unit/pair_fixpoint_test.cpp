#include <gtest/gtest.h>

#include <random>

#include "product/game_view.hpp"
#include "product/pair_fixpoint.hpp"
#include "product_test_support.hpp"
#include "reference_solver.hpp"
#include "synthetic_games.hpp"

using namespace product_test;

namespace {

// Random graphs of a few hundred states. Some are long paths with a few
// shortcuts, where the greatest fixpoint peels off a few states per round
// and so needs many rounds; the others are dense and random.
synthetic_game_t random_game(std::mt19937& rng, int pairs, int max_states) {
    auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    const int n = pick(1, max_states);
    const bool path = pick(0, 1) == 1;
    const double choice_share = pick(0, 4) / 4.0;
    std::vector<std::vector<int>> successors(static_cast<std::size_t>(n));
    std::vector<bool> choice(static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s) {
        choice[static_cast<std::size_t>(s)] = std::bernoulli_distribution(choice_share)(rng);
        std::vector<int>& out = successors[static_cast<std::size_t>(s)];
        if (path) {
            if (s + 1 < n) out.push_back(s + 1);
            if (pick(0, 9) == 0) out.push_back(pick(0, n - 1));
        } else {
            const int degree = pick(0, 4);
            for (int k = 0; k < degree; ++k) out.push_back(pick(0, n - 1));
        }
        if (!out.empty() && pick(0, 9) == 0) out.push_back(out.front());  // a doubled edge
    }
    synthetic_game_t game(successors, choice, pairs);
    for (int l = 0; l < pairs; ++l) {
        game.product.good[static_cast<std::size_t>(l)] = random_set(rng, static_cast<uint32_t>(n), pick(1, 6) / 10.0);
        game.product.bad[static_cast<std::size_t>(l)] = random_set(rng, static_cast<uint32_t>(n), pick(0, 3) / 10.0);
    }
    return game;
}

// The greatest fixpoint by the plain iteration: every round recomputes
// base(Y) and its attractor over the whole graph.
bitset_t plain_greatest(const ra_product_t& product, const bitset_t& allowed, const bitset_t& good,
                        const bitset_t& goal, bitset_t& base) {
    const uint32_t n = static_cast<uint32_t>(product.state_count);
    bitset_t y(n, BS_FULL);
    for (;;) {
        base = reference_cpred(product, y);
        base.intersect_with(good);
        base.unite_with(goal);
        bitset_t x(n, BS_EMPTY);
        for (;;) {
            bitset_t next = reference_cpred(product, x);
            next.intersect_with(allowed);
            next.unite_with(base);
            if (next.equals(x)) break;
            x = std::move(next);
        }
        if (x.equals(y)) return y;
        y = std::move(x);
    }
}

}  // namespace

TEST(PairFixpoint, MatchesThePlainIterationOnRandomGraphs) {
    std::mt19937 rng(41);
    int rounds_over_one = 0;
    for (int round = 0; round < 600; ++round) {
        synthetic_game_t game = random_game(rng, 1, 300);
        const ra_product_t& product = game.product;
        const uint32_t n = static_cast<uint32_t>(product.state_count);
        const game_view_t view(product);
        pair_fixpoint_t engine(view);
        // Several calls on one engine, as the solver's recursion makes them.
        for (int call = 0; call < 3; ++call) {
            bitset_t allowed = random_set(rng, n, 0.6 + 0.2 * call);
            bitset_t good = random_set(rng, n, 0.3);
            good.intersect_with(allowed);
            const bitset_t goal = random_set(rng, n, call == 0 ? 0.0 : 0.05);
            bitset_t base, expected_base;
            const bitset_t got = engine.greatest(allowed, good, goal, base);
            const bitset_t expected = plain_greatest(product, allowed, good, goal, expected_base);
            ASSERT_TRUE(got.equals(expected)) << "round " << round << " call " << call;
            ASSERT_TRUE(base.equals(expected_base)) << "round " << round << " call " << call;
            // Started from a random superset of the fixpoint, the rounds
            // find the same fixpoint and base.
            bitset_t within = random_set(rng, n, 0.5);
            within.unite_with(expected);
            bitset_t within_base;
            const bitset_t from_within = engine.greatest(allowed, good, goal, within_base, &within);
            ASSERT_TRUE(from_within.equals(expected)) << "round " << round << " call " << call;
            ASSERT_TRUE(within_base.equals(expected_base)) << "round " << round << " call " << call;
            bitset_t full(n, BS_FULL);
            if (!expected.equals(full) && !expected.is_empty()) ++rounds_over_one;
        }
    }
    // The fixpoint must often be a proper, non-empty subset, or the
    // incremental rounds went unexercised.
    EXPECT_GT(rounds_over_one, 200);
}

TEST(PairFixpoint, SolverVerdictsMatchThePlainSolverOnRandomGraphs) {
    // One pair exercises the engine at the top of the recursion, two and
    // three pairs at its bottom, below the plain outer fixpoints.
    std::mt19937 rng(43);
    int won = 0, lost = 0;
    for (int round = 0; round < 400; ++round) {
        const int pairs = 1 + round % 3;
        synthetic_game_t game = random_game(rng, pairs, pairs == 1 ? 300 : 100 / pairs);
        ra_product_t& product = game.product;
        product.solve();
        const reference_verdict_t expected = reference_solve(product);
        ASSERT_TRUE(product.win->equals(expected.win)) << "round " << round;
        for (uint32_t s = 0; s < static_cast<uint32_t>(product.state_count); ++s) {
            if (!expected.win.test(s)) continue;
            ASSERT_EQ(product.rank[s], expected.rank[s]) << "round " << round << " state " << s;
            if (product.is_choice(static_cast<int>(s))) {
                ASSERT_EQ(product.best_rank[s], expected.best_rank[s]) << "round " << round << " state " << s;
            }
        }
        (product.win->test(0) ? won : lost) += 1;
    }
    EXPECT_GT(won, 40);
    EXPECT_GT(lost, 40);
}

// The take-out pass visits the states that went out in the order they went,
// so a choice node may switch to a witness that goes out only later in the
// same pass. Here q first loses its witness w and switches to u, which goes
// out after it through b; q must then be looked at again. If it were not,
// the cycle q -> u -> c -> q would stay in the attractor with no base
// beneath it.
TEST(PairFixpoint, AChoiceNodeWhoseNewWitnessGoesOutLaterInThePassIsTakenOut) {
    enum { a, b0, d1, d2, w1, w, b, u, q, c, count };
    std::vector<std::vector<int>> successors(count);
    successors[a] = {d1};
    successors[b0] = {d2};
    successors[w1] = {a};
    successors[w] = {w1};
    successors[b] = {b0, c};
    successors[u] = {b, c};
    successors[q] = {w, u};
    successors[c] = {q};
    std::vector<bool> choice(count, false);
    for (int s : {d1, d2, b, u, q}) choice[static_cast<std::size_t>(s)] = true;
    synthetic_game_t game(successors, choice, 1);
    const ra_product_t& product = game.product;
    const game_view_t view(product);
    pair_fixpoint_t engine(view);
    const bitset_t allowed(count, BS_FULL);
    bitset_t good(count, BS_EMPTY);
    good.set(a);
    good.set(b0);
    const bitset_t goal(count, BS_EMPTY);
    bitset_t base, expected_base;
    const bitset_t got = engine.greatest(allowed, good, goal, base);
    const bitset_t expected = plain_greatest(product, allowed, good, goal, expected_base);
    EXPECT_TRUE(expected.is_empty());
    EXPECT_TRUE(got.equals(expected));
    EXPECT_TRUE(base.equals(expected_base));
}
