#include "check/bisimulation.hpp"

#include <set>

#include "check_test_support.hpp"

TEST(CheckBisimulation, CyclesCollapseAndDifferentBranchingStaysApart) {
    const lts_t cycle = impl_from("I0 = a.I1\nI1 = a.I2\nI2 = a.I0\n");
    const lts_t loop = impl_from("I0 = a.I0\n");
    EXPECT_TRUE(bisimilar(cycle, loop));
    const std::vector<int> classes = bisimulation_classes(cycle);
    EXPECT_EQ(std::set<int>(classes.begin(), classes.end()).size(), 1u);

    // Same traces, different branching: a.(b + c) against a.b + a.c.
    EXPECT_FALSE(bisimilar(impl_from("I0 = a.I1\nI1 = b.I2 + c.I2\n"), impl_from("I0 = a.I1 + a.I2\nI1 = b.I3\nI2 = c.I3\n")));
    // A state without transitions differs from one with a transition.
    EXPECT_FALSE(bisimilar(impl_from("I0 = a.I1\n"), impl_from("I0 = a.I0\n")));
    // Action names, not indices, are compared.
    EXPECT_TRUE(bisimilar(impl_from("I0 = b.I1 + a.I0\n"), impl_from("I0 = a.I0 + b.I1\n")));
    EXPECT_FALSE(bisimilar(impl_from("I0 = a.I0\n"), impl_from("I0 = b.I0\n")));
}

TEST(CheckBisimulation, SplittingPropagatesBackwardsThroughAChain) {
    // I0 .. I3 each step a; only I3's successor I4 differs (it deadlocks), so
    // every state of the chain is in its own class.
    const lts_t chain = impl_from("I0 = a.I1\nI1 = a.I2\nI2 = a.I3\nI3 = a.I4\n");
    const std::vector<int> classes = bisimulation_classes(chain);
    EXPECT_EQ(std::set<int>(classes.begin(), classes.end()).size(), 5u);
    const lts_t joined = disjoint_union(chain, impl_from("J = a.K\nK = a.L\nL = a.M\nM = a.N\n", "J"));
    const std::vector<int> both = bisimulation_classes(joined);
    for (int s = 0; s < 5; ++s) EXPECT_EQ(both[s], both[s + 5]);
}
