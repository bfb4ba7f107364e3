#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "dmts/grammar.hpp"
#include "dmts/lalr_table.hpp"

namespace {

std::set<int> shifting_states_entered_by(const lalr_table_t& table, int symbol) {
    std::set<int> states;
    for (int s = 0; s < table.state_count; ++s) {
        if (table.accessing_symbol[s] == symbol) states.insert(s);
    }
    return states;
}

}  // namespace

TEST(ParserTable, GrammarIsLalrWithOneReductionPerState) {
    const lalr_table_t& table = parser_table();
    EXPECT_EQ(table.conflicts, 0);
    ASSERT_GE(table.final_state, 0);
    EXPECT_EQ(table.accessing_symbol[table.final_state], token_end);
    for (int s = 0; s < table.state_count; ++s) {
        EXPECT_LE(table.reductions[s].size(), 1u) << "state " << s;
        // Every state but the final one can do something.
        if (s != table.final_state) {
            EXPECT_TRUE(table.has_shift[s] || table.default_rule[s] >= 0) << "state " << s;
        }
    }
}

// Name tokens must be reduced before the next token is read (the action reads
// the scanner's text), and the markers after '=' and '{' must run at once.
TEST(ParserTable, MarkersAndNamesReduceWithoutLookahead) {
    const lalr_table_t& table = parser_table();
    const std::pair<int, int> immediate[] = {
        {token_process_name, 7}, {token_action_name, 14}, {token_equals, 3}, {token_open_brace, 22}};
    for (const auto& [symbol, rule] : immediate) {
        std::set<int> states = shifting_states_entered_by(table, symbol);
        ASSERT_FALSE(states.empty()) << token_display_name(symbol);
        for (int s : states) {
            EXPECT_FALSE(table.has_shift[s]) << token_display_name(symbol);
            EXPECT_EQ(table.default_rule[s], rule) << token_display_name(symbol);
        }
    }
}

// The states in which a syntax error can be detected (shifts only) and the
// tokens each lists; equal lists of different places collapse.
TEST(ParserTable, ErrorPointsAreExactlyTheDocumentedOnes) {
    const lalr_table_t& table = parser_table();
    std::set<std::vector<int>> lists;
    for (int s = 0; s < table.state_count; ++s) {
        if (s == table.final_state || !table.has_shift[s] || table.default_rule[s] >= 0) continue;
        lists.insert(table.shiftable_tokens(s));
    }
    const std::set<std::vector<int>> expected = {
        {token_end, token_process_name},
        {token_equals},
        {token_action_name, token_open_paren, token_question, token_open_brace},
        {token_action_name, token_question, token_open_brace},
        {token_action_name},
        {token_close_paren, token_plus},
        {token_close_brace},
    };
    EXPECT_EQ(lists, expected);
    // The expected-token lists never exceed four entries.
    for (const auto& list : lists) EXPECT_LE(list.size(), 4u);
}

// The construction itself on a grammar with a known LALR(1) conflict
// (dangling else: S -> i S | i S e S | x) and on one that is LALR(1) but
// not LR(0)-consistent.
TEST(ParserTable, ConstructionDetectsConflictsAndComputesLookaheads) {
    // Reuse the token codes as the grammar's terminals: i = '(', e = ')', x = nil.
    const int S = Main;
    std::vector<rule_t> dangling = {
        {symbol_accept, {S, token_end}},
        {S, {token_open_paren, S}},
        {S, {token_open_paren, S, token_close_paren, S}},
        {S, {token_nil}},
    };
    EXPECT_GT(build_lalr_table(dangling).conflicts, 0);

    // S -> x S | x : after x, shift x or reduce on $end only.
    std::vector<rule_t> right_list = {
        {symbol_accept, {S, token_end}},
        {S, {token_nil, S}},
        {S, {token_nil}},
    };
    lalr_table_t table = build_lalr_table(right_list);
    EXPECT_EQ(table.conflicts, 0);
    bool found = false;
    for (int s = 0; s < table.state_count; ++s) {
        if (table.accessing_symbol[s] != token_nil) continue;
        found = true;
        EXPECT_GE(table.shift_target(s, token_nil), 0);
        ASSERT_EQ(table.reductions[s].size(), 1u);
        EXPECT_EQ(table.reductions[s][0].first, 2);
        EXPECT_EQ(table.reductions[s][0].second, 1u << token_end);
    }
    EXPECT_TRUE(found);
}
