#include "check/satisfaction.hpp"

#include "check_test_support.hpp"

namespace {

// Last action a: state 1 (good for pair 0); last action c: state 2 (bad for
// pair 0, good for pair 1); anything else: state 0.
const char last_action_automaton[] =
    "DRA v2 explicit\nStates: 3\nAcceptance-Pairs: 2\nStart: 0\nAP: 2 \"a\" \"c\"\n---\n"
    "State: 0\nAcc-Sig:\n0 1 2 0\n"
    "State: 1\nAcc-Sig: +0\n0 1 2 0\n"
    "State: 2\nAcc-Sig: -0 +1\n0 1 2 0\n";

// Infinitely often a: state 1 after an a, good for the only pair.
const char infinitely_often_a[] =
    "DRA v2 explicit\nStates: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: 1 \"a\"\n---\n"
    "State: 0\nAcc-Sig:\n0\n1\nState: 1\nAcc-Sig: +0\n0\n1\n";

}  // namespace

TEST(CheckSatisfaction, InfinitelyOftenHoldsOnlyWhenEveryCycleHasTheAction) {
    auto ra = automaton_from(infinitely_often_a);
    EXPECT_TRUE(check_satisfaction(impl_from("I0 = b.I1\nI1 = a.I0\n"), *ra).holds);
    // Finite maximal runs are accepted whatever the automaton says.
    EXPECT_TRUE(check_satisfaction(impl_from("I0 = b.I1\n"), *ra).holds);
    EXPECT_TRUE(check_satisfaction(empty_lts("I0"), *ra).holds);

    const lts_t impl = impl_from("I0 = a.I1 + b.I0\nI1 = b.I1\n");
    lasso_t lasso;
    const check_result_t r = check_satisfaction(impl, *ra, &lasso);
    ASSERT_FALSE(r.holds);
    EXPECT_EQ(r.lines[0], "does not hold: a run of I0 is not accepted by the automaton");
    EXPECT_TRUE(lasso_is_rejected(impl, *ra, lasso));
}

TEST(CheckSatisfaction, ComponentsAreDecomposedAgainAfterGoodStatesAreDropped) {
    auto ra = automaton_from(last_action_automaton);
    // a or c for ever: a^w is accepted by pair 0, every run with infinitely
    // many c by pair 1. The whole component fails pair 1's test, and what is
    // left after dropping its good states then fails pair 0's.
    EXPECT_TRUE(check_satisfaction(impl_from("I0 = a.I0 + c.I0\n"), *ra).holds);

    // With b, the run b^w is rejected; it survives only after the a and c
    // states are dropped from the component.
    const lts_t impl = impl_from("I0 = a.I0 + b.I0 + c.I0\n");
    lasso_t lasso;
    ASSERT_FALSE(check_satisfaction(impl, *ra, &lasso).holds);
    EXPECT_TRUE(lasso_is_rejected(impl, *ra, lasso));
}

TEST(CheckSatisfaction, RejectedCycleVisitsTheBadStatesOfPairsItTouchesGoodly) {
    // One pair: good after a, bad after c. A cycle through a and c is
    // rejected only because it visits the bad state, so the lasso must too.
    auto ra = automaton_from(
        "DRA v2 explicit\nStates: 3\nAcceptance-Pairs: 1\nStart: 0\nAP: 2 \"a\" \"c\"\n---\n"
        "State: 0\nAcc-Sig:\n0 1 2 0\nState: 1\nAcc-Sig: +0\n0 1 2 0\nState: 2\nAcc-Sig: -0\n0 1 2 0\n");
    const lts_t impl = impl_from("I0 = a.I1\nI1 = c.I0 + a.I2\nI2 = a.I2 + c.I3\nI3 = a.I2\n");
    lasso_t lasso;
    ASSERT_FALSE(check_satisfaction(impl, *ra, &lasso).holds);
    EXPECT_TRUE(lasso_is_rejected(impl, *ra, lasso));
    // Without c the only cycle is a^w, which is accepted.
    EXPECT_TRUE(check_satisfaction(impl_from("I0 = a.I1\nI1 = b.I0 + a.I2\nI2 = a.I2\n"), *ra).holds);
}

TEST(CheckSatisfaction, ActionsNamedByNoPropositionReadTheOtherLetter) {
    // Without pairs nothing infinite is accepted: every cycle is a counterexample.
    auto ra = automaton_from("DRA v2 explicit\nStates: 1\nAcceptance-Pairs: 0\nStart: 0\nAP: 0\n---\n"
                             "State: 0\nAcc-Sig:\n0\n");
    const lts_t impl = impl_from("I0 = x.I1\nI1 = y.I2\nI2 = z.I1\n");
    lasso_t lasso;
    const check_result_t r = check_satisfaction(impl, *ra, &lasso);
    ASSERT_FALSE(r.holds);
    ASSERT_EQ(r.lines.size(), 4u);
    EXPECT_EQ(r.lines[1], "  prefix: x");
    EXPECT_EQ(r.lines[2], "  cycle: y z");
    EXPECT_EQ(r.lines[3], "  run: I0 --x--> I1, then for ever I1 --y--> I2 --z--> I1");
    EXPECT_TRUE(check_satisfaction(impl_from("I0 = x.I1\nI1 = y.I2\n"), *ra).holds);
}

TEST(CheckSatisfaction, MissingAutomatonEntryIsAClearFailure) {
    // State 1 never gets a block (both blocks describe state 0).
    std::istringstream in("DRA v2 explicit\nStates: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: 1 \"a\"\n---\n"
                          "State: 0\nAcc-Sig: +0\n0\n1\nState: 0\nAcc-Sig: +0\n0\n1\n");
    std::string error;
    std::unique_ptr<rabin_t> ra = read_automaton(in, error);
    if (!ra) GTEST_SKIP() << "the reader refuses an automaton with a state without block: " << error;
    EXPECT_TRUE(check_satisfaction(impl_from("I0 = b.I0\n"), *ra).holds);
    const check_result_t r = check_satisfaction(impl_from("I0 = b.I1\nI1 = a.I2\nI2 = b.I0\n"), *ra);
    ASSERT_FALSE(r.holds);
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], "does not hold: the automaton has no successor of its state 1 under the other letter, "
                          "needed for action b");
    EXPECT_EQ(r.lines[1], "  after I0 --b--> I1 --a--> I2 --b--> I0");
}
