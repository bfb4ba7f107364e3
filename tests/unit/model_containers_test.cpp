#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>

#include "support/flat_set.hpp"
#include "dmts/hypertransition_set.hpp"
#include "dmts/name_index.hpp"
#include "dmts/process_table.hpp"
#include "model_sets_support.hpp"
#include "parser_test_support.hpp"

namespace {

// Small ranges, so that duplicates and shared prefixes are frequent.
transition_t random_transition(std::mt19937& random, int range) {
    return {static_cast<int>(random() % range), static_cast<int>(random() % range)};
}

// A sorted, duplicate-free alternative list of 0 to 3 entries.
hypertransition_t random_alternatives(std::mt19937& random, int range) {
    hypertransition_t h(random() % 4);
    for (transition_t& t : h) t = random_transition(random, range);
    std::sort(h.begin(), h.end());
    h.erase(std::unique(h.begin(), h.end()), h.end());
    return h;
}

// Transitions in one of three orders: random, descending, ascending with repeats.
std::vector<transition_t> random_sequence(std::mt19937& random) {
    const int range = 1 + static_cast<int>(random() % 6);
    std::vector<transition_t> values(random() % 40);
    for (transition_t& t : values) t = random_transition(random, range);
    const int order = static_cast<int>(random() % 3);
    if (order == 1) std::sort(values.rbegin(), values.rend());
    if (order == 2) std::sort(values.begin(), values.end());
    return values;
}

struct names_t {
    std::vector<std::string> names;
    std::string_view operator()(int index) const { return names[static_cast<std::size_t>(index)]; }
};

}  // namespace

TEST(ModelContainers, FlatSetMatchesStdSetOnRandomSequences) {
    std::mt19937 random(4711);
    for (int round = 0; round < 2000; ++round) {
        const std::vector<transition_t> values = random_sequence(random);
        const std::set<transition_t> expected(values.begin(), values.end());
        transition_set_t appended, inserted;
        for (const transition_t& t : values) {
            appended.append(t);
            EXPECT_EQ(inserted.insert(t), expected.count(t) == 1 && inserted.count(t) == 0);
        }
        appended.normalize();
        ASSERT_EQ(transitions_of(appended), transitions_of(expected)) << "round " << round;
        ASSERT_EQ(transitions_of(inserted), transitions_of(expected)) << "round " << round;
        EXPECT_TRUE(appended == inserted);

        for (int k = 0; k < 10; ++k) {
            const transition_t key = random_transition(random, 7);
            const auto want = expected.lower_bound(key);
            const transition_t* got = appended.lower_bound(key);
            ASSERT_EQ(got == appended.end(), want == expected.end());
            if (want != expected.end()) {
                EXPECT_EQ(*got, *want);
            }
            EXPECT_EQ(appended.count(key), expected.count(key));
        }

        const int dropped_action = static_cast<int>(random() % 3);
        auto drop = [&](const transition_t& t) { return t.action == dropped_action; };
        std::set<transition_t> kept;
        std::copy_if(expected.begin(), expected.end(), std::inserter(kept, kept.end()),
                     [&](const transition_t& t) { return !drop(t); });
        appended.erase_if(drop);
        ASSERT_EQ(transitions_of(appended), transitions_of(kept)) << "round " << round;
    }
}

TEST(ModelContainers, HypertransitionSetMatchesStdSetOnRandomSequences) {
    std::mt19937 random(815);
    size_t rounds_with_longer = 0;
    for (int round = 0; round < 2000; ++round) {
        const int range = 1 + static_cast<int>(random() % 3);
        // One round in three uses single alternatives only, the implied-boundary form.
        const bool singles_only = round % 3 == 0;
        std::vector<hypertransition_t> values(random() % 30);
        for (hypertransition_t& h : values) {
            h = singles_only ? hypertransition_t{random_transition(random, range)} : random_alternatives(random, range);
        }
        if (random() % 2) std::sort(values.rbegin(), values.rend());
        std::set<hypertransition_t> expected;
        hypertransition_set_t appended, inserted, mixed;
        const std::size_t half = values.size() / 2;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const bool fresh = expected.insert(values[i]).second;
            appended.append(values[i]);
            EXPECT_EQ(inserted.insert(values[i]), fresh) << "round " << round;
            // Ordered inserts into a set that was built by appending.
            if (i < half) mixed.append(values[i]);
            if (i + 1 == half) mixed.normalize();
            if (i >= half) mixed.insert(values[i]);
        }
        appended.normalize();
        if (values.size() < 2) mixed.normalize();
        const std::vector<hypertransition_t> want = hypertransitions_of(expected);
        ASSERT_EQ(hypertransitions_of(appended), want) << "round " << round;
        ASSERT_EQ(hypertransitions_of(inserted), want) << "round " << round;
        ASSERT_EQ(hypertransitions_of(mixed), want) << "round " << round;
        EXPECT_EQ(appended.size(), expected.size());
        EXPECT_TRUE(appended == inserted && inserted == mixed);
        rounds_with_longer += std::any_of(want.begin(), want.end(), [](const hypertransition_t& h) { return h.size() != 1; });
    }
    EXPECT_GT(rounds_with_longer, 1000u);
}

TEST(ModelContainers, LargeDescendingInputsAreSortedOnce) {
    transition_set_t may;
    hypertransition_set_t must;
    const int n = 200000;
    for (int i = n; i-- > 0;) {
        may.append({i % 3, i});
        may.append({i % 3, i});
        must.append(hypertransition_t{{0, i}});
    }
    may.normalize();
    must.normalize();
    ASSERT_EQ(may.size(), static_cast<std::size_t>(n));
    ASSERT_EQ(must.size(), static_cast<std::size_t>(n));
    EXPECT_TRUE(std::is_sorted(may.begin(), may.end()));
    EXPECT_EQ(*may.begin(), (transition_t{0, 0}));
    EXPECT_EQ(must[n - 1], (hypertransition_t{{0, n - 1}}));
}

TEST(ModelContainers, NameIndexFindsExactlyTheEnteredNames) {
    std::mt19937 random(99);
    names_t owner;
    name_index_t<names_t&> index(owner);
    std::map<std::string, int> expected;
    EXPECT_EQ(index.find("anything"), -1);
    for (int i = 0; i < 20000; ++i) {
        // Names from a small alphabet collide often: short ones whole (the
        // empty name among them), long ones in the first bytes the index
        // keeps of them. Zero bytes, inside or at the end, must not make two
        // names look alike.
        std::string name(random() % 17, 'a');
        for (char& c : name) c = "ab\0"[random() % 3];
        if (i % 7 == 0) name = "P" + std::to_string(i);
        const int fresh = static_cast<int>(owner.names.size());
        const int got = index.find_or_enter(name, fresh);
        auto [it, inserted] = expected.try_emplace(name, fresh);
        ASSERT_EQ(got, it->second) << name;
        if (inserted) owner.names.push_back(name);
    }
    EXPECT_EQ(index.size(), expected.size());
    for (const auto& [name, at] : expected) {
        ASSERT_EQ(index.find(name), at) << name;
        EXPECT_EQ(index.find(name + "x"), expected.count(name + "x") ? expected.at(name + "x") : -1);
    }
    EXPECT_EQ(index.find("P1"), -1);  // a prefix of entered names, never entered itself
    EXPECT_THROW(index.at("P1"), std::out_of_range);
}

TEST(ModelContainers, ProcessesKeepTheirAddressWhileTheTableGrows) {
    process_table_t table;
    const process_t* first = &table.emplace_back("first");
    for (int i = 1; i < 5000; ++i) table.emplace_back("P" + std::to_string(i));
    EXPECT_EQ(table[0], first);
    EXPECT_EQ(table.size(), 5000u);
    EXPECT_EQ(table[4321]->name, "P4321");
    EXPECT_EQ(table.back()->name, "P4999");
}

TEST(ModelContainers, ParsedModelIsSortedEvenWhenTheParseStops) {
    // Actions a < b < c and processes P < Q < R < S are numbered by the first
    // line; the later ones list transitions in descending order. Q is
    // redefined, and the parse stops inside a brace group of S, before the
    // group is complete.
    parse_outcome_t out = parse_text(
        "P = a.Q + ?b.R + c.S\n"
        "Q = c.S + ?b.R + a.Q + {c.R | a.S}\n"
        "Q = c.S + b.R + {c.Q | b.S | a.P} + ?a.Q\n"
        "S = c.P + ?b.Q + {c.S | a.R | b");
    EXPECT_EQ(out.result, 1);
    const dmts_t& m = *out.model;
    ASSERT_EQ(m.process_index.find("S"), 4);
    ASSERT_EQ(m.action_index.find("c"), 2);
    const process_t& q = *m.processes[2];
    EXPECT_EQ(transitions_of(q.may),
              transitions_of(std::set<transition_t>{{2, 4}, {1, 3}, {2, 2}, {1, 4}, {0, 1}, {0, 2}}));
    EXPECT_EQ(hypertransitions_of(q.must),
              hypertransitions_of(std::set<hypertransition_t>{{{2, 4}}, {{1, 3}}, {{0, 1}, {1, 4}, {2, 2}}}));
    // S is still open: what was read before the error, sorted all the same.
    const process_t& s = *m.processes[4];
    // Open are S and the anonymous process begun for the missing target.
    EXPECT_EQ(m.def_stack.size(), 2u);
    EXPECT_EQ(transitions_of(s.may), transitions_of(std::set<transition_t>{{2, 1}, {1, 2}, {2, 4}, {0, 3}}));
    EXPECT_EQ(hypertransitions_of(s.must), hypertransitions_of(std::set<hypertransition_t>{{{2, 1}}}));
    EXPECT_EQ(transitions_of(s.pending_must), transitions_of(std::set<transition_t>{{2, 4}, {0, 3}}));
}
