// Minimisation of extracted implementations: the split order, the numbering
// that makes the initial state's class 0, and the printed quotient.
#include <gtest/gtest.h>

#include "implementation_test_support.hpp"
#include "product/partition.hpp"

namespace {

// A product of state nodes only, all winning, with the given edges; states
// not reached from 0 are no implementation states.
struct lts_case_t {
    std::vector<std::string> actions;
    int states;
    std::vector<impl_transition_t> edges;
};

hand_product_t product_of(const lts_case_t& c) {
    hand_product_t h("P", c.actions);
    h.add_states(c.states);
    for (const impl_transition_t& t : c.edges) h.add_edge(t.source, t.action, t.target);
    for (int s = 0; s < c.states; ++s) h.set_winning(s, 0);
    return h;
}

std::string minimised_text(const lts_case_t& c) {
    hand_product_t h = product_of(c);
    ra_product_t& p = h.finish();
    p.minimize_impl();
    return print_impl(p, false).out;
}

TEST(Minimize, SplitOrderDecidesTheClassNumbers) {
    // States 0, 2 and 5; 1, 3 and 4 are not reached.
    const lts_case_t c{{"a", "b"}, 6, {{0, 0, 2}, {0, 1, 5}, {2, 0, 2}, {5, 0, 5}}};
    hand_product_t h = product_of(c);
    ra_product_t& p = h.finish();
    p.produce_impl();
    // First pass: a splits nothing, b splits {0} off as block 1.
    const block_partition_t partition = refine_partition(p.state_count, p.action_count, {0, 2, 5}, p.impl_trans);
    EXPECT_EQ(partition.block_count, 2);
    EXPECT_EQ(partition.block_of, (std::vector<int>{1, -1, 0, -1, -1, 0}));
    // The initial state's block and block 0 exchange their numbers.
    EXPECT_EQ(number_classes(partition, 0), (std::vector<int>{0, -1, 1, -1, -1, 1}));

    EXPECT_EQ(minimised_text(c), std::string(yes_line_p) + "I0 = a.I1 + b.I1\nI1 = a.I1\n");

    hand_product_t dot_case = product_of(c);
    ra_product_t& q = dot_case.finish();
    q.minimize_impl();
    printed_t dot = print_impl(q, true);
    EXPECT_EQ(dot.out, "digraph product {\nI0 -> I1 [label=\"a\"]\nI0 -> I1 [label=\"b\"]\nI1 -> I1 [label=\"a\"]\n}\n");
    EXPECT_EQ(dot.err, yes_line_p);
}

TEST(Minimize, EquivalentStatesCollapseAndDuplicatesVanish) {
    // A cycle whose states all look alike is one class.
    EXPECT_EQ(minimised_text({{"a"}, 3, {{0, 0, 1}, {1, 0, 2}, {2, 0, 0}}}), std::string(yes_line_p) + "I0 = a.I0\n");
    // A listed twice, and a to two equivalent dead states: one transition each.
    const lts_case_t dup{{"a", "b"}, 3, {{0, 0, 1}, {0, 0, 1}, {0, 0, 2}, {0, 1, 2}}};
    hand_product_t before = product_of(dup);
    EXPECT_EQ(print_impl(before.finish(), false).out, std::string(yes_line_p) + "I0 = a.I1 + a.I1 + a.I2 + b.I2\n");
    EXPECT_EQ(minimised_text(dup), std::string(yes_line_p) + "I0 = a.I1 + b.I1\n");
}

TEST(Minimize, DeadStatesStayApartAndTransitionsAreSorted) {
    // 2 is dead, 1 loops: they never share a class although both are
    // a-successors of 0. The second pass splits {0, 1} into {1} and {0}, so
    // 0 sits in block 2 and trades numbers with block 0 (state 2).
    const lts_case_t dead{{"a"}, 3, {{0, 0, 2}, {0, 0, 1}, {1, 0, 1}}};
    hand_product_t h = product_of(dead);
    ra_product_t& p = h.finish();
    p.produce_impl();
    const block_partition_t partition = refine_partition(3, 1, {0, 1, 2}, p.impl_trans);
    EXPECT_EQ(partition.block_of, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(number_classes(partition, 0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(minimised_text(dead), std::string(yes_line_p) + "I0 = a.I1 + a.I2\nI1 = a.I1\n");

    // Printed by action index, then target class, whatever the input order.
    const lts_case_t order{{"a", "b"}, 3, {{0, 1, 1}, {0, 0, 2}, {0, 0, 1}, {1, 0, 1}}};
    EXPECT_EQ(minimised_text(order), std::string(yes_line_p) + "I0 = a.I1 + a.I2 + b.I1\nI1 = a.I1\n");
}

TEST(Minimize, NothingToMinimiseLeavesTheEmptyImplementation) {
    for (bool dot : {false, true}) {
        hand_product_t losing("P", {"a"});
        losing.add_states(2);
        losing.add_edge(0, 0, 1);
        ra_product_t& p = losing.finish();
        p.minimize_impl();
        EXPECT_TRUE(p.impl_trans.empty());
        printed_t printed = print_impl(p, dot);
        EXPECT_EQ(printed.out, dot ? "digraph product {\n}\n" : std::string(no_line_p) + "\n");
        EXPECT_EQ(printed.err, dot ? no_line_p : "");

        hand_product_t lone("P", {});
        lone.add_state();
        lone.set_winning(0, 0);
        ra_product_t& q = lone.finish();
        q.minimize_impl();
        printed_t alone = print_impl(q, dot);
        const std::string sentence = "There exists an implementation with no transitions.\n";
        EXPECT_EQ(alone.out, dot ? "digraph product {\nnil\n}\n" : std::string(yes_line_p) + sentence + "\n");
        EXPECT_EQ(alone.err, dot ? std::string(yes_line_p) + sentence : "");
    }
}

TEST(Minimize, PartitionOfNoStatesIsEmpty) {
    const block_partition_t partition = refine_partition(4, 2, {}, {});
    EXPECT_EQ(partition.block_count, 0);
    EXPECT_EQ(partition.block_of, (std::vector<int>(4, -1)));
}

}  // namespace
