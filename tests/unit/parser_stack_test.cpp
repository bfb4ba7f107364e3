#include <gtest/gtest.h>

#include <string>

#include "dmts/parse_stack.hpp"
#include "parser_test_support.hpp"

namespace {

std::string repeated(const std::string& piece, int count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

}  // namespace

TEST(ParserStack, GrowsByDoublingAndRefusesTheTenThousandthEntry) {
    parse_stack_t stack;
    EXPECT_EQ(stack.capacity(), 200u);
    std::vector<std::size_t> capacities;
    std::size_t pushed = 0;
    while (stack.push(static_cast<int>(pushed), {static_cast<int>(pushed), 0})) {
        ++pushed;
        if (capacities.empty() || capacities.back() != stack.capacity()) capacities.push_back(stack.capacity());
    }
    EXPECT_EQ(pushed, 9999u);
    EXPECT_EQ(stack.size(), 9999u);
    EXPECT_EQ(capacities, (std::vector<std::size_t>{200, 400, 800, 1600, 3200, 6400, 10000}));
    // The refused push left the stack as it was.
    EXPECT_EQ(stack.top_state(), 9998);
    EXPECT_EQ(stack.value_below_top(0).first, 9998);
    EXPECT_EQ(stack.value_below_top(9998).first, 0);
    stack.pop(2);
    EXPECT_TRUE(stack.push(7, {}));
    EXPECT_EQ(stack.size(), 9998u);
    EXPECT_EQ(stack.top_state(), 7);
}

// "P = a a ... a Q" with n actions: the start state, Main, ProcessName, '=',
// BeginDef, then ActionName and BeginAnon per inline level and finally the
// last ActionName and the process name Q: 2n + 5 entries at the peak.
TEST(ParserStack, ChainOfActionsExhaustsTheStackExactlyAtTheBound) {
    {
        parse_outcome_t out = parse_text("P = " + repeated("a ", 4997) + "Q R = b S");
        EXPECT_EQ(out.result, 0);
        EXPECT_EQ(out.errors, "");
        EXPECT_EQ(out.model->processes.size(), 2u + 4996u + 3u);
        EXPECT_TRUE(out.model->def_stack.empty());
    }
    {
        // The 4998th action name cannot be shifted: its push would be the 10000th entry.
        parse_outcome_t out = parse_text("P = " + repeated("a ", 4998) + "Q R = b S");
        EXPECT_EQ(out.result, 2);
        EXPECT_EQ(out.errors, "memory exhausted\n");
        const dmts_t& m = *out.model;
        // P and 4997 anonymous processes, all open; Q, R and S never read.
        EXPECT_EQ(m.processes.size(), 2u + 4997u);
        EXPECT_EQ(m.def_stack.size(), 1u + 4997u);
        EXPECT_EQ(m.process_index.count("Q"), 0u);
        EXPECT_TRUE(m.processes[1]->may.empty());
    }
}

// Inside a parenthesised body one more entry ('(') is held, so the push that
// fails is the one of rule 17 at level 4997: its anonymous process was created
// before the push, and stays.
TEST(ParserStack, FailedPushKeepsTheActionOfItsReduction) {
    parse_outcome_t out = parse_text("P = (" + repeated("a ", 4998) + "Q)");
    EXPECT_EQ(out.result, 2);
    EXPECT_EQ(out.errors, "memory exhausted\n");
    EXPECT_EQ(out.model->processes.size(), 2u + 4997u);
    EXPECT_EQ(out.model->processes.back()->name, "$" + std::to_string(1 + 4997));
    EXPECT_EQ(out.model->def_stack.size(), 1u + 4997u);

    // One action fewer: the last action name is shifted (entry 9999), then Q
    // would be the 10000th.
    parse_outcome_t shorter = parse_text("P = (" + repeated("a ", 4997) + "Q)");
    EXPECT_EQ(shorter.result, 2);
    EXPECT_EQ(shorter.model->processes.size(), 2u + 4996u);
    EXPECT_EQ(shorter.model->process_index.count("Q"), 0u);

    parse_outcome_t fits = parse_text("P = (" + repeated("a ", 4996) + "Q)");
    EXPECT_EQ(fits.result, 0);
    EXPECT_EQ(fits.errors, "");
}

// Parenthesised inline processes cost three entries per level: ActionName,
// BeginAnon and '('.
TEST(ParserStack, DeepParenthesisedNestingEndsCleanlyWithoutRecursion) {
    const int levels = 1000000;
    parse_outcome_t out = parse_text("P = " + repeated("a (", levels) + "b Q" + repeated(")", levels));
    EXPECT_EQ(out.result, 2);
    EXPECT_EQ(out.errors, "memory exhausted\n");
    // Level k holds its ActionName at entry 3k + 3, BeginAnon at 3k + 4 and
    // '(' at 3k + 5, so the BeginAnon of level 3332 would be entry 10000; its
    // anonymous process was already created.
    EXPECT_EQ(out.model->processes.size(), 2u + 3332u);
    EXPECT_EQ(out.model->def_stack.size(), 1u + 3332u);
}
