#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <map>
#include <random>
#include <tuple>

#include "product_test_support.hpp"

using namespace product_test;

TEST(ProductConstruction, ProcessWithoutMustIsOneStateNode) {
    dmts_t model;
    rabin_t a = automaton(2, 1, {"a"}, 1);
    fill_successors(a, 0);
    // nil, and a process that is only referred to: no must hypertransitions.
    int undefined = model.get_process("Later");
    for (int p : {0, undefined}) {
        auto product = build(a, model, p);
        ASSERT_EQ(product->state_count, 1);
        EXPECT_TRUE(same_state(product->states[0], 1, p, -1));
        EXPECT_EQ(product->edge_begin, (std::vector<uint32_t>{0, 0}));
        EXPECT_TRUE(product->edges.empty());
    }
}

TEST(ProductConstruction, SingleAlternativeIsADirectEdgeAndSeveralMakeAChoiceNode) {
    dmts_t model;
    rabin_t a = automaton(1, 1, {});
    fill_successors(a, 0);
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    int r = defined_process(model, "R");
    add_must(model, q, {{"a", r}});
    {
        auto product = build(a, model, q);
        ASSERT_EQ(product->state_count, 2);
        EXPECT_TRUE(same_state(product->states[1], 0, r, -1));
        EXPECT_EQ(edge_list(*product), "0 -a-> 1\n");
        EXPECT_FALSE(product->is_choice(1));
    }
    add_must(model, p, {{"b", r}, {"a", q}});  // kept sorted: (a, Q) before (b, R)
    auto product = build(a, model, p);
    ASSERT_EQ(product->state_count, 4);
    EXPECT_TRUE(same_state(product->states[0], 0, p, -1));
    EXPECT_TRUE(same_state(product->states[1], 0, p, 0));
    EXPECT_TRUE(same_state(product->states[2], 0, q, -1));
    EXPECT_TRUE(same_state(product->states[3], 0, r, -1));
    EXPECT_TRUE(product->is_choice(1));
    EXPECT_FALSE(product->is_choice(2));
    // Q's edge reuses R's number 3.
    EXPECT_EQ(edge_list(*product), "0 -T-> 1\n1 -a-> 2\n1 -b-> 3\n2 -a-> 3\n");
    EXPECT_EQ(product->edge_begin, (std::vector<uint32_t>{0, 1, 3, 4, 4}));
}

TEST(ProductConstruction, ChoiceNodesAreNumberedInMustOrderAndEdgesGroupedBySource) {
    dmts_t model;
    rabin_t a = automaton(1, 1, {});
    fill_successors(a, 0);
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    int r = defined_process(model, "R");
    model.get_action("a");
    model.get_action("b");
    model.get_action("c");
    // {(a,Q),(c,R)} comes after {(a,Q),(b,R)}; the single {(c,Q)} comes last.
    add_must(model, p, {{"c", q}});
    add_must(model, p, {{"a", q}, {"c", r}});
    add_must(model, p, {{"a", q}, {"b", r}});
    add_must(model, q, {{"a", p}});
    auto product = build(a, model, p);
    ASSERT_EQ(product->state_count, 5);
    EXPECT_TRUE(same_state(product->states[1], 0, p, 0));
    EXPECT_TRUE(same_state(product->states[2], 0, q, -1));
    EXPECT_TRUE(same_state(product->states[3], 0, r, -1));
    EXPECT_TRUE(same_state(product->states[4], 0, p, 1));
    // State 0's edges were found interleaved with those of its choice nodes;
    // the rows still list them together, in the order they were found.
    EXPECT_EQ(edge_list(*product),
              "0 -T-> 1\n0 -T-> 4\n0 -c-> 2\n"
              "1 -a-> 2\n1 -b-> 3\n"
              "2 -a-> 0\n"
              "4 -a-> 2\n4 -c-> 3\n");
}

TEST(ProductConstruction, StoreAfterTheConstructionFindsItsChoiceNodesAndStateNodes) {
    // The construction numbers choice nodes without entering them in the
    // index; a later store() must still find every one of them, whether the
    // state nodes sit in the direct table or, past its size, in the index.
    dmts_t model;
    rabin_t a = automaton(2, 1, {"a"});
    fill_successors(a, 0);
    for (int s = 0; s < 2; ++s) set_successor(a, s, 0, 1 - s);
    std::mt19937 rng(11);
    const int count = 40;
    std::vector<int> processes;
    for (int i = 0; i < count; ++i) processes.push_back(defined_process(model, ("P" + std::to_string(i)).c_str()));
    auto any = [&] { return processes[std::uniform_int_distribution<int>(0, count - 1)(rng)]; };
    for (int p : processes)
        for (int h = 0; h < 3; ++h) add_must(model, p, {{"a", any()}, {"b", any()}, {h == 0 ? "a" : "c", any()}});

    for (bool table : {true, false}) {
        ra_product_t product(&a, &model, processes[0]);
        if (!table) product.node_numbers.clear();  // as when the pairs are too many for it
        product.init_actions();
        std::ostringstream diagnostics;
        product.make_product(diagnostics);
        const int built = product.state_count;
        const int choices = static_cast<int>(std::count_if(product.states.begin(), product.states.end(),
                                                           [](const auto& s) { return s.choice != -1; }));
        ASSERT_GT(choices, 20);
        // Before any lookup of a choice key, the index holds at most the hashed state nodes.
        EXPECT_EQ(product.state_index.size(), table ? 0u : static_cast<std::size_t>(built - choices));
        for (int n = built - 1; n >= 0; --n)
            ASSERT_EQ(product.store(product.states[static_cast<std::size_t>(n)]), std::make_pair(n, false)) << n;
        EXPECT_EQ(product.state_index.size(), static_cast<std::size_t>(table ? choices : built));
        // Unseen choice numbers of reached pairs are new, and then found.
        const ra_product_t::product_state_t fresh{product.states[0].ra_state, product.states[0].process, 3};
        EXPECT_EQ(product.store(fresh), std::make_pair(built, true));
        EXPECT_EQ(product.store(fresh), std::make_pair(built, false));
        EXPECT_EQ(product.state_count, built + 1);
    }
}

TEST(ProductConstruction, BreadthFirstNumberingFollowsTheAutomatonAndReusesStates) {
    // Letter a leads to state 1, every other letter (zzz names no action, b,
    // c and d have no proposition) to state 0.
    dmts_t model;
    rabin_t a = automaton(2, 1, {"a", "zzz"});
    for (int s = 0; s < 2; ++s) {
        set_successor(a, s, 0, 1);
        set_successor(a, s, 1, 0);
        set_successor(a, s, -1, 0);
    }
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    int r = defined_process(model, "R");
    add_must(model, p, {{"a", q}});
    add_must(model, p, {{"b", r}});
    add_must(model, q, {{"c", p}});
    add_must(model, r, {{"a", p}});
    auto product = build(a, model, p);
    EXPECT_EQ(product->action_ap, (std::vector<int>{0, -1, -1}));
    ASSERT_EQ(product->state_count, 4);
    EXPECT_TRUE(same_state(product->states[0], 0, p, -1));
    EXPECT_TRUE(same_state(product->states[1], 1, q, -1));
    EXPECT_TRUE(same_state(product->states[2], 0, r, -1));
    EXPECT_TRUE(same_state(product->states[3], 1, p, -1));
    EXPECT_EQ(edge_list(*product), "0 -a-> 1\n0 -b-> 2\n1 -c-> 0\n2 -a-> 3\n3 -a-> 1\n3 -b-> 2\n");
    // store finds every state under its number and adds nothing.
    for (int n = 0; n < 4; ++n) EXPECT_EQ(product->store(product->states[static_cast<std::size_t>(n)]),
                                          std::make_pair(n, false));
    EXPECT_EQ(product->state_count, 4);
    EXPECT_EQ(product->load(3).process, p);
}

TEST(ProductConstruction, PropositionsMatchActionsByExactNameAndTheLaterDuplicateWins) {
    dmts_t model;
    int a_action = model.get_action("a");
    int ab_action = model.get_action("ab");
    int b_action = model.get_action("b");
    rabin_t automaton_ = automaton(1, 0, {"b", "a", "A", "b", "x"});
    model.get_process("P");
    ra_product_t product(&automaton_, &model, 1);
    product.init_actions();
    ASSERT_EQ(product.action_count, 3);
    EXPECT_EQ(product.action_ap[static_cast<std::size_t>(a_action)], 1);
    EXPECT_EQ(product.action_ap[static_cast<std::size_t>(ab_action)], -1);
    EXPECT_EQ(product.action_ap[static_cast<std::size_t>(b_action)], 3);
}

TEST(ProductConstruction, MissingAutomatonEntriesAreReportedAndLeadToStateMinusOne) {
    // State 1 of the automaton has no block: all its entries are missing.
    dmts_t model;
    rabin_t a = automaton(2, 1, {"a"});
    set_successor(a, 0, 0, 1);
    set_successor(a, 0, -1, 0);
    a.good[0].set(1);
    a.bad[0].set(0);
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    add_must(model, p, {{"a", q}});
    add_must(model, q, {{"b", p}});
    std::string errors;
    auto product = build(a, model, p, &errors);
    // (1,Q) -b-> missing; from -1 every lookup is missing again.
    EXPECT_EQ(errors, "FATAL ERROR\nFATAL ERROR\nFATAL ERROR\n");
    ASSERT_EQ(product->state_count, 4);
    EXPECT_TRUE(same_state(product->states[1], 1, q, -1));
    EXPECT_TRUE(same_state(product->states[2], -1, p, -1));
    EXPECT_TRUE(same_state(product->states[3], -1, q, -1));
    EXPECT_EQ(edge_list(*product), "0 -a-> 1\n1 -b-> 2\n2 -a-> 3\n3 -b-> 2\n");
    // The -1 states lie in no acceptance set.
    ASSERT_EQ(product->good.size(), 1u);
    ASSERT_EQ(product->bad.size(), 1u);
    for (uint32_t s = 0; s < 4; ++s) {
        EXPECT_EQ(product->good[0].test(s), s == 1) << s;
        EXPECT_EQ(product->bad[0].test(s), s == 0) << s;
    }
}

TEST(ProductConstruction, AcceptanceSetsLiftToStateAndChoiceNodes) {
    dmts_t model;
    rabin_t a = automaton(3, 2, {"a", "b"});
    // 0 -a-> 1, 0 -b-> 2, everything else to 0.
    fill_successors(a, 0);
    set_successor(a, 0, 0, 1);
    set_successor(a, 0, 1, 2);
    a.good[0].set(0);
    a.bad[1].set(0);
    a.good[1].set(2);
    a.bad[0].set(1);
    int p = defined_process(model, "P");
    add_must(model, p, {{"a", p}, {"b", p}});
    auto product = build(a, model, p);
    // 0 (0,P), 1 (0,P,f0), 2 (1,P), 3 (2,P), 4 (1,P,f0), 5 (2,P,f0)
    ASSERT_EQ(product->state_count, 6);
    EXPECT_TRUE(same_state(product->states[4], 1, p, 0));
    EXPECT_TRUE(same_state(product->states[5], 2, p, 0));
    auto members = [](const bitset_t& s) {
        std::vector<uint32_t> out;
        for (uint32_t i = 0; i < s.capacity(); ++i)
            if (s.test(i)) out.push_back(i);
        return out;
    };
    EXPECT_EQ(members(product->good[0]), (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(members(product->bad[0]), (std::vector<uint32_t>{2, 4}));
    EXPECT_EQ(members(product->good[1]), (std::vector<uint32_t>{3, 5}));
    EXPECT_EQ(members(product->bad[1]), (std::vector<uint32_t>{0, 1}));
    EXPECT_EQ(product->good[0].capacity(), 6u);
}

TEST(ProductConstruction, AChoiceNodeAlreadyStoredIsReportedAndItsNumberUsed) {
    dmts_t model;
    rabin_t a = automaton(1, 1, {});
    fill_successors(a, 0);
    int p = defined_process(model, "P");
    int q = defined_process(model, "Q");
    add_must(model, p, {{"a", q}, {"b", q}});
    ra_product_t product(&a, &model, p);
    product.init_actions();
    // Stored ahead of the construction, the choice node takes number 0.
    EXPECT_EQ(product.store({0, p, 0}), std::make_pair(0, true));
    std::ostringstream errors;
    product.make_product(errors);
    EXPECT_EQ(errors.str(), "FATAL ERROR!\n");
    ASSERT_EQ(product.state_count, 3);
    EXPECT_TRUE(same_state(product.states[1], 0, p, -1));
    EXPECT_EQ(edge_list(product), "0 -a-> 2\n0 -b-> 2\n1 -T-> 0\n");
}

TEST(ProductConstruction, StoreTellsEveryStateApartInsideAndOutsideTheNodeTable) {
    dmts_t model;
    rabin_t a = automaton(2, 1, {});
    for (const char* name : {"P", "Q", "R"}) defined_process(model, name);
    ra_product_t tabled(&a, &model, 1);
    // Without an automaton and a model there is no table, and the index
    // numbers every state.
    ra_product_t hashed(nullptr, nullptr, 0);
    // State nodes within the ranges are numbered by the direct table, the
    // rest by the index; both must agree with one map of all keys.
    ASSERT_EQ(tabled.node_numbers.size(), 3u * model.processes.size());
    ASSERT_TRUE(hashed.node_numbers.empty());

    std::mt19937 rng(5);
    auto pick = [&rng](std::vector<int> values) {
        return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(rng)];
    };
    // Values on both sides of each range's bounds, and a few large ones.
    const int processes = static_cast<int>(model.processes.size());
    const int choices = 1 << 20;
    for (ra_product_t* product : {&tabled, &hashed}) {
        std::map<std::tuple<int, int, int>, int> expected;
        for (int i = 0; i < 6000; ++i) {
            const ra_product_t::product_state_t s{pick({-3, -2, -1, 0, 1, 2, 3, 1 << 20}),
                                                 pick({-1, 0, 1, processes - 1, processes, processes + 1, 1 << 24}),
                                                 pick({-2, -1, 0, 1, 7, choices - 2, choices - 1, choices, choices + 1,
                                                       INT32_MAX})};
            const auto key = std::make_tuple(s.ra_state, s.process, s.choice);
            const auto found = expected.find(key);
            const std::pair<int, bool> stored = product->store(s);
            if (found == expected.end()) {
                ASSERT_EQ(stored, std::make_pair(static_cast<int>(expected.size()), true)) << i;
                expected.emplace(key, stored.first);
            } else {
                ASSERT_EQ(stored, std::make_pair(found->second, false)) << i;
            }
        }
        ASSERT_EQ(product->state_count, static_cast<int>(expected.size()));
        for (const auto& [key, number] : expected)
            EXPECT_EQ(std::make_tuple(product->states[static_cast<std::size_t>(number)].ra_state,
                                      product->states[static_cast<std::size_t>(number)].process,
                                      product->states[static_cast<std::size_t>(number)].choice),
                      key);
        // Enough distinct keys that the index grew several times.
        EXPECT_GT(expected.size(), 400u);

        if (product == &tabled) {
            std::size_t direct = 0;
            for (const auto& [key, number] : expected) {
                const auto [ra, process, choice] = key;
                const uint32_t* entry = product->node_number_entry({ra, process, choice});
                const bool in_table = choice == -1 && ra >= -1 && ra <= 1 && process >= 0 && process < processes;
                ASSERT_EQ(entry != nullptr, in_table) << ra << " " << process << " " << choice;
                if (!entry) continue;
                EXPECT_EQ(*entry, static_cast<uint32_t>(number) + 1);
                ++direct;
            }
            EXPECT_EQ(direct, product->node_numbers.size() -
                                  static_cast<std::size_t>(std::count(product->node_numbers.begin(),
                                                                      product->node_numbers.end(), 0u)));
            EXPECT_GE(direct, 6u);
        }
    }
}
