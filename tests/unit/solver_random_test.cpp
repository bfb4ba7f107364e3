#include <gtest/gtest.h>

#include "random_game_models.hpp"
#include "reference_solver.hpp"

using namespace product_test;

namespace {

// Compares the solver's verdict with the plain iteration's: the winning
// region, the rank of every winning state and the best rank of every winning
// choice node, the three things the printed implementation depends on.
// Returns the number of winning states.
int expect_same_verdict(ra_product_t& product) {
    product.solve();
    reference_verdict_t expected = reference_solve(product);
    const uint32_t n = static_cast<uint32_t>(product.state_count);
    EXPECT_TRUE(product.win->equals(expected.win));
    int winning = 0;
    for (uint32_t s = 0; s < n; ++s) {
        if (!expected.win.test(s)) continue;
        ++winning;
        EXPECT_EQ(product.rank[s], expected.rank[s]) << "rank of state " << s;
        if (product.is_choice(static_cast<int>(s))) {
            EXPECT_EQ(product.best_rank[s], expected.best_rank[s]) << "best rank of state " << s;
        }
    }
    return winning;
}

void compare_on_random_cases(uint32_t seed, int rounds, const random_shape_t& shape, int& won, int& lost) {
    std::mt19937 rng(seed);
    for (int round = 0; round < rounds; ++round) {
        random_case_t c = random_case(rng, shape);
        auto product = build(c.automaton, *c.model, c.process);
        SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round));
        expect_same_verdict(*product);
        (product->win->test(0) ? won : lost) += 1;
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace

TEST(SolverRandom, SmallGamesMatchThePlainIteration) {
    int won = 0, lost = 0;
    random_shape_t shape;
    compare_on_random_cases(1, 1500, shape, won, lost);
    // Both verdicts must be well represented, or the comparison proves little.
    EXPECT_GT(won, 150);
    EXPECT_GT(lost, 150);
}

TEST(SolverRandom, GamesWithMissingAutomatonEntriesMatchThePlainIteration) {
    int won = 0, lost = 0;
    random_shape_t shape;
    shape.missing = 0.15;
    compare_on_random_cases(2, 500, shape, won, lost);
    EXPECT_GT(won, 30);
    EXPECT_GT(lost, 30);
}

TEST(SolverRandom, LargerGamesWithThreePairsMatchThePlainIteration) {
    int won = 0, lost = 0;
    random_shape_t shape;
    shape.max_processes = 25;
    shape.max_automaton_states = 6;
    compare_on_random_cases(3, 150, shape, won, lost);
    EXPECT_GT(won, 10);
    EXPECT_GT(lost, 10);
}
