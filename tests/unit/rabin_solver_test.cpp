#include <gtest/gtest.h>

#include <random>
#include <string>

#include "random_game_models.hpp"
#include "reference_solver.hpp"
#include "synthetic_games.hpp"

using namespace product_test;

namespace {

// What a batch of random games covered, so that a test can demand that the
// interesting shapes really occurred.
struct coverage_t {
    int won = 0;
    int lost = 0;
    int empty_good = 0;        // games with a pair whose good set is empty
    int empty_bad = 0;         // games with a pair whose bad set is empty
    int shared_states = 0;     // games with a state good or bad in several pairs
    int stuck_choices = 0;     // games with a choice node without successors
};

// A random game of up to max_states states with the given number of pairs.
// Good and bad sets are drawn per pair with densities that include zero, and
// a pair sometimes repeats an earlier pair's good set, so that states lie in
// several pairs; every node has zero to three successors.
synthetic_game_t random_game(std::mt19937& rng, int pairs, int max_states, coverage_t& seen) {
    auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    static const double good_density[] = {0.0, 0.15, 0.4, 0.7};
    static const double bad_density[] = {0.0, 0.1, 0.3};
    const int n = pick(1, max_states);
    const double choice_share = pick(0, 4) / 4.0;
    std::vector<std::vector<int>> successors(static_cast<std::size_t>(n));
    std::vector<bool> choice(static_cast<std::size_t>(n));
    bool stuck_choice = false;
    for (int s = 0; s < n; ++s) {
        choice[static_cast<std::size_t>(s)] = std::bernoulli_distribution(choice_share)(rng);
        const int degree = pick(0, 3);
        for (int k = 0; k < degree; ++k) successors[static_cast<std::size_t>(s)].push_back(pick(0, n - 1));
        stuck_choice = stuck_choice || (choice[static_cast<std::size_t>(s)] && degree == 0);
    }
    synthetic_game_t game(successors, choice, pairs);
    const uint32_t size = static_cast<uint32_t>(n);
    std::vector<bitset_t>& good = game.product.good;
    std::vector<bitset_t>& bad = game.product.bad;
    for (std::size_t l = 0; l < static_cast<std::size_t>(pairs); ++l) {
        good[l] = l > 0 && pick(0, 4) == 0 ? good[static_cast<std::size_t>(pick(0, static_cast<int>(l) - 1))]
                                            : random_set(rng, size, good_density[pick(0, 3)]);
        bad[l] = random_set(rng, size, bad_density[pick(0, 2)]);
    }
    bool empty_good = false, empty_bad = false, shared = false;
    for (std::size_t l = 0; l < static_cast<std::size_t>(pairs); ++l) {
        empty_good = empty_good || good[l].is_empty();
        empty_bad = empty_bad || bad[l].is_empty();
        for (std::size_t m = 0; m < l; ++m) {
            bitset_t both = good[l];
            both.unite_with(bad[l]);
            bitset_t other = good[m];
            other.unite_with(bad[m]);
            both.intersect_with(other);
            shared = shared || !both.is_empty();
        }
    }
    seen.empty_good += empty_good;
    seen.empty_bad += empty_bad;
    seen.shared_states += shared;
    seen.stuck_choices += stuck_choice;
    return game;
}

// Pairs laid out as a parity condition: every state a priority below
// 2 * pairs, pair i good at priority 2i and bad below it, so the good and bad
// sets form chains.
void make_chain_pairs(std::mt19937& rng, synthetic_game_t& game, int pairs) {
    const uint32_t n = static_cast<uint32_t>(game.product.state_count);
    std::uniform_int_distribution<int> priority_of(0, 2 * pairs - 1);
    for (std::size_t l = 0; l < static_cast<std::size_t>(pairs); ++l) {
        game.product.good[l] = bitset_t(n, BS_EMPTY);
        game.product.bad[l] = bitset_t(n, BS_EMPTY);
    }
    for (uint32_t s = 0; s < n; ++s) {
        const int priority = priority_of(rng);
        for (int l = 0; l < pairs; ++l) {
            if (priority == 2 * l) game.product.good[static_cast<std::size_t>(l)].set(s);
            if (priority < 2 * l) game.product.bad[static_cast<std::size_t>(l)].set(s);
        }
    }
}

// The solver against the literal nested fixpoint: the verdict, the winning
// region, the rank of every winning state and the best rank of every winning
// choice node, which together fix every printed implementation.
void expect_same_as_literal(ra_product_t& product, coverage_t& seen) {
    product.solve();
    const reference_verdict_t expected = reference_solve(product);
    const uint32_t n = static_cast<uint32_t>(product.state_count);
    ASSERT_EQ(product.win->test(0), expected.win.test(0)) << "verdict";
    ASSERT_TRUE(product.win->equals(expected.win)) << "winning region";
    for (uint32_t s = 0; s < n; ++s) {
        if (!expected.win.test(s)) continue;
        ASSERT_EQ(product.rank[s], expected.rank[s]) << "rank of state " << s;
        if (product.is_choice(static_cast<int>(s))) {
            ASSERT_EQ(product.best_rank[s], expected.best_rank[s]) << "best rank of state " << s;
        }
    }
    (expected.win.test(0) ? seen.won : seen.lost) += 1;
}

}  // namespace

TEST(RabinSolver, RandomGamesOfOneToFivePairsMatchTheLiteralSolver) {
    // Fewer states for more pairs: the literal solver explores every order
    // of the pairs, with a fixpoint of fixpoints at each level.
    struct shape_t {
        int pairs;
        int max_states;
        int games;
    };
    const shape_t shapes[] = {{1, 40, 500}, {2, 30, 1300}, {3, 14, 1000}, {4, 7, 300}, {5, 4, 60}};
    for (const shape_t& shape : shapes) {
        std::mt19937 rng(static_cast<uint32_t>(100 + shape.pairs));
        coverage_t seen;
        for (int g = 0; g < shape.games; ++g) {
            synthetic_game_t game = random_game(rng, shape.pairs, shape.max_states, seen);
            SCOPED_TRACE(std::to_string(shape.pairs) + " pairs, game " + std::to_string(g));
            expect_same_as_literal(game.product, seen);
            if (::testing::Test::HasFatalFailure()) return;
        }
        SCOPED_TRACE(std::to_string(shape.pairs) + " pairs");
        // Each shape must really occur, or the comparison proves little.
        EXPECT_GT(seen.won, shape.games / 10);
        EXPECT_GT(seen.lost, shape.games / 10);
        EXPECT_GT(seen.empty_good, shape.games / 10);
        EXPECT_GT(seen.empty_bad, shape.games / 10);
        EXPECT_GT(seen.stuck_choices, shape.games / 10);
        if (shape.pairs > 1) {
            EXPECT_GT(seen.shared_states, shape.games / 10);
        }
    }
}

TEST(RabinSolver, ProductsWithUpToFivePairsMatchTheLiteralSolver) {
    // Products of random models, whose choice nodes and automaton states
    // give the games the structure real inputs have.
    std::mt19937 rng(7);
    random_shape_t shape;
    shape.max_processes = 5;
    shape.max_automaton_states = 3;
    shape.max_pairs = 5;
    shape.missing = 0.05;
    coverage_t seen;
    for (int round = 0; round < 100; ++round) {
        random_case_t c = random_case(rng, shape);
        auto product = build(c.automaton, *c.model, c.process);
        SCOPED_TRACE("round " + std::to_string(round));
        expect_same_as_literal(*product, seen);
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(seen.won, 15);
    EXPECT_GT(seen.lost, 15);
}

TEST(RabinSolver, RandomGamesOfUpToTwelvePairsAndParityChainsMatchTheLiteralSolver) {
    // Many pairs on few states, where the cost of the solver no longer
    // follows the number of pairs; every other shape has its pairs laid out
    // as a parity chain. The literal solver answers repeated calls from its
    // cache, so twelve pairs stay affordable on a handful of states.
    struct shape_t {
        int pairs;
        int max_states;
        int games;
    };
    const shape_t shapes[] = {{1, 30, 600}, {2, 20, 700}, {3, 12, 700}, {4, 9, 500}, {5, 7, 250}, {6, 6, 120},
                              {7, 5, 60},   {8, 5, 30},   {9, 4, 16},   {10, 3, 12},  {11, 3, 6},  {12, 3, 6}};
    // An unoptimised or sanitised build plays a tenth of the games: the literal
    // solver's many calls cost some forty times more there.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
    const int stride = 1;
#else
    const int stride = 10;
#endif
    int total = 0;
    for (const shape_t& shape : shapes) {
        std::mt19937 rng(static_cast<uint32_t>(500 + shape.pairs));
        coverage_t seen;
        int chains_won = 0;
        int played = 0;
        for (int g = 0; g < shape.games; ++g) {
            synthetic_game_t game = random_game(rng, shape.pairs, shape.max_states, seen);
            const bool chain = g % 2 == 1;
            if (chain) make_chain_pairs(rng, game, shape.pairs);
            if ((g / 2) % stride != 0) continue;  // both kinds of game, one pair of them in stride
            ++played;
            SCOPED_TRACE(std::to_string(shape.pairs) + " pairs, game " + std::to_string(g) +
                         (chain ? ", parity chain" : ""));
            const int won_before = seen.won;
            expect_same_as_literal(game.product, seen);
            if (::testing::Test::HasFatalFailure()) return;
            chains_won += chain && seen.won > won_before;
        }
        total += played;
        if (played < 6) continue;  // too few games to demand every outcome
        SCOPED_TRACE(std::to_string(shape.pairs) + " pairs");
        EXPECT_GT(seen.won, played / 10);
        EXPECT_GT(seen.lost, played / 10);
        EXPECT_GT(chains_won, played / 20);
    }
    EXPECT_GE(total, 3000 / stride);
}
