#include <gtest/gtest.h>

#include "product_test_support.hpp"
#include "reference_solver.hpp"

using namespace product_test;

namespace {

std::vector<uint32_t> members(const bitset_t& s) {
    std::vector<uint32_t> out;
    for (uint32_t i = 0; i < s.capacity(); ++i)
        if (s.test(i)) out.push_back(i);
    return out;
}

bitset_t set_of(uint32_t capacity, std::initializer_list<uint32_t> items) {
    bitset_t s(capacity, BS_EMPTY);
    for (uint32_t i : items) s.set(i);
    return s;
}

// A one-state automaton (every letter loops) with pairs whose good and bad
// sets hold state 0 as asked.
rabin_t loop_automaton(std::vector<std::pair<bool, bool>> pairs) {
    rabin_t a = automaton(1, static_cast<int>(pairs.size()), {});
    fill_successors(a, 0);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].first) a.good[i].set(0);
        if (pairs[i].second) a.bad[i].set(0);
    }
    return a;
}

}  // namespace

TEST(SolverCpred, StateNodesNeedAllSuccessorsChoiceNodesOne) {
    // 0 = P: {a Q | b R} + c S; 1 = its choice node; 2 = Q, 3 = R (nil-like),
    // 4 = S: d S; 5 = the choice node {(e,Q),(f,Q)} of S... built below.
    dmts_t model;
    rabin_t a = loop_automaton({{false, false}});
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    int r = defined_process(model, "R");
    int s = defined_process(model, "S");
    add_must(model, p, {{"a", q}, {"b", r}});
    add_must(model, p, {{"c", s}});
    add_must(model, s, {{"d", s}});
    auto product = build(a, model, p);
    ASSERT_EQ(edge_list(*product), "0 -T-> 1\n0 -c-> 4\n1 -a-> 2\n1 -b-> 3\n4 -d-> 4\n");
    product->state_nodes = std::make_unique<bitset_t>(set_of(5, {0, 2, 3, 4}));
    struct case_t {
        std::initializer_list<uint32_t> x;
        std::vector<uint32_t> expected;
    };
    const case_t cases[] = {
        // Dead ends 2 and 3 are in every cpred; the choice node never without a successor in X.
        {{}, {2, 3}},
        {{3}, {1, 2, 3}},
        {{1, 2}, {1, 2, 3}},
        {{1, 4}, {0, 2, 3, 4}},
        {{4}, {2, 3, 4}},
        {{0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
    };
    for (const case_t& c : cases) {
        bitset_t x = set_of(5, c.x);
        EXPECT_EQ(members(product->cpred(x)), c.expected);
        EXPECT_EQ(members(reference_cpred(*product, x)), c.expected);
    }
}

TEST(SolverCases, NoAcceptancePairsMeansNothingIsWon) {
    dmts_t model;
    rabin_t a = loop_automaton({});
    int p = defined_process(model, "P");
    auto product = build(a, model, p);
    product->solve();
    ASSERT_NE(product->win, nullptr);
    EXPECT_TRUE(product->win->is_empty());
    EXPECT_EQ(product->state_nodes, nullptr);
}

TEST(SolverCases, DeadEndStateNodesWinAndBadCyclesLose) {
    dmts_t model;
    // Every state good and bad at once: only dead ends can win.
    rabin_t a = loop_automaton({{true, true}, {true, true}});
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    int r = defined_process(model, "R");
    {
        auto product = build(a, model, r);  // R has no must: a dead end
        product->solve();
        EXPECT_EQ(members(*product->win), (std::vector<uint32_t>{0}));
        EXPECT_EQ(product->rank[0], 0u);
    }
    add_must(model, p, {{"a", q}});
    add_must(model, q, {{"a", p}});
    {
        auto product = build(a, model, p);  // the cycle P Q P
        product->solve();
        EXPECT_TRUE(product->win->is_empty());
    }
    // One edge into the losing cycle makes a state node lose; a choice node
    // with one alternative into a winning state wins.
    int s = defined_process(model, "S");
    int t = defined_process(model, "T");
    add_must(model, s, {{"b", p}});
    add_must(model, s, {{"c", r}});
    add_must(model, t, {{"b", p}, {"c", r}});
    {
        auto product = build(a, model, s);
        ASSERT_EQ(edge_list(*product), "0 -b-> 1\n0 -c-> 2\n1 -a-> 3\n3 -a-> 1\n");
        product->solve();
        EXPECT_EQ(members(*product->win), (std::vector<uint32_t>{2}));
    }
    {
        auto product = build(a, model, t);
        ASSERT_EQ(edge_list(*product), "0 -T-> 1\n1 -b-> 2\n1 -c-> 3\n2 -a-> 4\n4 -a-> 2\n");
        product->solve();
        EXPECT_EQ(members(*product->win), (std::vector<uint32_t>{0, 1, 3}));
        EXPECT_EQ(product->best_rank[1], product->rank[3]);
    }
}

TEST(SolverCases, LayersShareARankAndBestRankIsTheLeastWinningSuccessor) {
    dmts_t model;
    // One pair with empty sets: states win by reaching a dead end.
    rabin_t a = loop_automaton({{false, false}});
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    int r = defined_process(model, "R");
    int s = defined_process(model, "S");
    add_must(model, p, {{"a", q}, {"b", r}});
    add_must(model, r, {{"c", s}});
    auto product = build(a, model, p);
    // 0 P, 1 its choice node, 2 Q, 3 R, 4 S
    ASSERT_EQ(edge_list(*product), "0 -T-> 1\n1 -a-> 2\n1 -b-> 3\n3 -c-> 4\n");
    product->solve();
    EXPECT_EQ(members(*product->win), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
    // Layer 1: the dead ends Q and S; layer 2: the choice node and R; then P.
    EXPECT_EQ(product->rank, (std::vector<uint32_t>{2, 1, 0, 1, 0}));
    EXPECT_EQ(product->best_rank[1], 0u);

    // Two winning alternatives of equal least rank.
    int u = defined_process(model, "U");
    add_must(model, u, {{"a", q}, {"b", s}});
    auto both = build(a, model, u);
    both->solve();
    EXPECT_EQ(members(*both->win), (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(both->rank[2], 0u);
    EXPECT_EQ(both->rank[3], 0u);
    EXPECT_EQ(both->best_rank[1], 0u);
}

TEST(SolverCases, GoodCycleWinsThroughTheGreatestFixpoint) {
    // Automaton: letter a leads to state 1 (good for pair 0), anything else to
    // state 0 (bad for pair 1). P = a Q, Q = b P: the play alternates the
    // two and satisfies pair 0 but not pair 1.
    dmts_t model;
    rabin_t a = automaton(2, 2, {"a"});
    for (int s = 0; s < 2; ++s) {
        set_successor(a, s, 0, 1);
        set_successor(a, s, -1, 0);
    }
    a.good[0].set(1);
    a.bad[1].set(0);
    a.good[1].set(0);
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    add_must(model, p, {{"a", q}});
    add_must(model, q, {{"b", p}});
    auto product = build(a, model, p);
    ASSERT_EQ(edge_list(*product), "0 -a-> 1\n1 -b-> 0\n");
    product->solve();
    EXPECT_EQ(members(*product->win), (std::vector<uint32_t>{0, 1}));
    // Pair 0, Y = all: B = {1}, then 0 joins: ranks 0 and 1.
    EXPECT_EQ(product->rank[1], 0u);
    EXPECT_EQ(product->rank[0], 1u);

    // With a pair-0 bad state on the cycle as well nothing is won.
    a.bad[0].set(0);
    auto losing = build(a, model, p);
    losing->solve();
    EXPECT_TRUE(losing->win->is_empty());
}
