// Verdict, extraction and printing of implementations from hand-built solved
// products, in text and DOT form.
#include <gtest/gtest.h>

#include "implementation_test_support.hpp"

namespace {

const std::string no_transitions = "There exists an implementation with no transitions.\n";

TEST(ImplementationOutput, NegativeVerdictPrintsAnEmptyImplementation) {
    // With edges: the initial state loses, so nothing is extracted.
    for (bool dot : {false, true}) {
        hand_product_t h("P", {"a"});
        h.add_states(2);
        h.add_edge(0, 0, 1);
        h.set_winning(1, 0);  // a winning successor does not make state 0 win
        ra_product_t& p = h.finish();
        printed_t printed = print_impl(p, dot);
        if (dot) {
            EXPECT_EQ(printed.out, "digraph product {\n}\n");
            EXPECT_EQ(printed.err, no_line_p);
        } else {
            EXPECT_EQ(printed.out, std::string(no_line_p) + "\n");
            EXPECT_EQ(printed.err, "");
        }
        ASSERT_TRUE(p.impl_states);
        EXPECT_TRUE(p.impl_states->is_empty());
        EXPECT_TRUE(p.impl_trans.empty());
    }
    // Without any edge (an automaton without acceptance pairs loses even
    // there): still only the negative verdict, never the claim that an
    // implementation without transitions exists.
    for (bool dot : {false, true}) {
        hand_product_t h("P", {});
        h.add_state();
        printed_t printed = print_impl(h.finish(), dot);
        EXPECT_EQ(printed.out, dot ? "digraph product {\n}\n" : std::string(no_line_p) + "\n");
        EXPECT_EQ(printed.err, dot ? no_line_p : "");
    }
}

TEST(ImplementationOutput, PositiveVerdictWithoutEdgesHasNoTransitions) {
    for (bool dot : {false, true}) {
        hand_product_t h("P", {"a"});
        h.add_state();
        h.set_winning(0, 0);
        ra_product_t& p = h.finish();
        printed_t printed = print_impl(p, dot);
        if (dot) {
            EXPECT_EQ(printed.out, "digraph product {\nnil\n}\n");
            EXPECT_EQ(printed.err, std::string(yes_line_p) + no_transitions);
        } else {
            EXPECT_EQ(printed.out, std::string(yes_line_p) + no_transitions + "\n");
            EXPECT_EQ(printed.err, "");
        }
        EXPECT_TRUE(p.impl_states->test(0));
        EXPECT_TRUE(p.impl_trans.empty());
    }
}

TEST(ImplementationOutput, StateNodeEdgesAreKeptInOrderWithDuplicates) {
    hand_product_t h("P", {"a", "b", "c"});
    h.add_states(3);
    h.add_edge(0, h.action("b"), 2);
    h.add_edge(0, h.action("a"), 1);
    h.add_edge(0, h.action("c"), 1);
    h.add_edge(0, h.action("a"), 1);  // a second hypertransition with the same alternative
    h.add_edge(1, h.action("a"), 1);
    for (int s = 0; s < 3; ++s) h.set_winning(s, 0);
    printed_t printed = print_impl(h.finish(), false);
    EXPECT_EQ(printed.out, std::string(yes_line_p) + "I0 = b.I2 + a.I1 + c.I1 + a.I1\nI1 = a.I1\n");
    EXPECT_EQ(printed.err, "");
}

TEST(ImplementationOutput, ChoiceNodeKeepsEveryAlternativeOfLeastRank) {
    hand_product_t h("P", {"a", "b", "c", "d"});
    h.add_state();      // 0
    h.add_state(0);     // 1: choice node of state 0
    h.add_states(4);    // 2 .. 5
    h.add_edge(0, -1, 1);
    h.add_edge(0, h.action("a"), 2);
    h.add_edge(1, h.action("a"), 2);  // rank 3
    h.add_edge(1, h.action("b"), 5);  // losing, although its stale rank is 1
    h.add_edge(1, h.action("c"), 3);  // rank 1
    h.add_edge(1, h.action("d"), 4);  // rank 1
    h.set_winning(0, 4);
    h.set_winning(1, 2);
    h.set_winning(2, 3);
    h.set_winning(3, 1);
    h.set_winning(4, 1);
    h.set_best_rank(1, 1);
    ra_product_t& p = h.finish();
    p.rank[5] = 1;
    printed_t printed = print_impl(p, false);
    EXPECT_EQ(printed.out, std::string(yes_line_p) + "I0 = c.I3 + d.I4 + a.I2\n");
    // Choice nodes and unchosen alternatives are no implementation states.
    std::vector<int> members;
    for (int s = 0; s < p.state_count; ++s)
        if (p.impl_states->test(static_cast<uint32_t>(s))) members.push_back(s);
    EXPECT_EQ(members, (std::vector<int>{0, 2, 3, 4}));
}

// A product whose breadth-first visit order (0, 4, 5, 3, 2) differs from the
// ascending order of the implementation states, which skip the choice nodes.
hand_product_t scattered_product() {
    hand_product_t h("P", {"a", "b"});
    h.add_state();   // 0
    h.add_state(0);  // 1
    h.add_states(4); // 2 .. 5
    h.add_state(0);  // 6
    const int a = h.action("a"), b = h.action("b");
    h.add_edge(0, -1, 1);
    h.add_edge(0, b, 5);
    h.add_edge(1, a, 4);  // rank 1: preferred
    h.add_edge(1, b, 2);  // rank 2: not preferred here
    h.add_edge(2, a, 0);
    h.add_edge(3, b, 3);
    h.add_edge(4, a, 3);
    h.add_edge(5, -1, 6);
    h.add_edge(6, a, 2);  // rank 2: preferred here
    const uint32_t ranks[] = {5, 3, 2, 0, 1, 4, 3};
    for (int s = 0; s < 7; ++s) h.set_winning(s, ranks[s]);
    h.set_best_rank(1, 1);
    h.set_best_rank(6, 2);
    return h;
}

TEST(ImplementationOutput, TransitionsAreGroupedByAscendingSource) {
    hand_product_t h = scattered_product();
    ra_product_t& p = h.finish();
    p.produce_impl();
    ASSERT_EQ(p.impl_trans.size(), 6u);
    std::vector<int> sources;
    for (const impl_transition_t& t : p.impl_trans) sources.push_back(t.source);
    EXPECT_EQ(sources, (std::vector<int>{0, 0, 2, 3, 4, 5}));
    // Extracting again starts afresh instead of appending.
    p.produce_impl();
    EXPECT_EQ(p.impl_trans.size(), 6u);

    printed_t text = print_impl(p, false);
    EXPECT_EQ(text.out, std::string(yes_line_p) + "I0 = a.I4 + b.I5\nI2 = a.I0\nI3 = b.I3\nI4 = a.I3\nI5 = a.I2\n");

    hand_product_t h2 = scattered_product();
    printed_t dot = print_impl(h2.finish(), true);
    EXPECT_EQ(dot.out,
              "digraph product {\n"
              "I0 -> I4 [label=\"a\"]\n"
              "I0 -> I5 [label=\"b\"]\n"
              "I2 -> I0 [label=\"a\"]\n"
              "I3 -> I3 [label=\"b\"]\n"
              "I4 -> I3 [label=\"a\"]\n"
              "I5 -> I2 [label=\"a\"]\n"
              "}\n");
    EXPECT_EQ(dot.err, yes_line_p);
}

TEST(ImplementationOutput, VerdictNamesTheChosenProcess) {
    hand_product_t h("Some_Proc2", {});
    h.add_state();
    h.set_winning(0, 0);
    ra_product_t& p = h.finish();
    std::ostringstream out;
    p.answer(out);
    EXPECT_EQ(out.str(),
              "The answer is YES, there is an implementation of Some_Proc2 that satisfies the condition given by "
              "the Rabin automaton.\n");
    p.win->unset(0);
    std::ostringstream negative;
    p.answer(negative);
    EXPECT_EQ(negative.str(),
              "The answer is NO, no implementation of Some_Proc2 satisfies the condition given by the Rabin "
              "automaton.\n");
}

}  // namespace
