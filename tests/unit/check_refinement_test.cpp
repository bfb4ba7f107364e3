#include "check/refinement.hpp"

#include "check_test_support.hpp"

namespace {

check_result_t refine(const std::string& spec_text, const std::string& process, const std::string& impl_text) {
    auto spec = spec_from(spec_text);
    return check_refinement(*spec, process_of(*spec, process), impl_from(impl_text));
}

}  // namespace

TEST(CheckRefinement, AcceptsImplementationsThatKeepOneAlternativeOfEveryMust) {
    const std::string spec = "P = {a Q | b R} + ?c P\nQ = a P\n";
    EXPECT_TRUE(refine(spec, "P", "I0 = a.I1\nI1 = a.I0\n").holds);
    EXPECT_TRUE(refine(spec, "P", "I0 = b.I1 + c.I0\n").holds);
    // Both alternatives, and the optional may loop, together.
    EXPECT_TRUE(refine(spec, "P", "I0 = a.I1 + b.I2 + c.I0\nI1 = a.I0\n").holds);
    // The relation is the greatest one: a cycle that relies on itself holds.
    EXPECT_TRUE(refine("P = a P\n", "P", "I0 = a.I1\nI1 = a.I0\n").holds);
    // Inline processes in the specification.
    EXPECT_TRUE(refine("P = a {b 0 | c (d P + ?e 0)}\n", "P", "I0 = a.I1\nI1 = c.I2\nI2 = d.I0\n").holds);
    // Of two may successors for one action, the second is the one that fits.
    EXPECT_TRUE(refine("P = ?a Q + ?a R\nQ = b Q\nR = c R\n", "P", "I0 = a.I1\nI1 = c.I1\n").holds);
}

TEST(CheckRefinement, DroppedMustAlternativeIsReportedAtItsPair) {
    const check_result_t r = refine("P = {a Q | b R} + ?c P\nQ = a P\n", "P", "I0 = c.I0\n");
    ASSERT_FALSE(r.holds);
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], "does not hold: I0 does not refine P");
    EXPECT_EQ(r.lines[1], "  (I0, P): I0 offers none of {a.Q | b.R} required by P");
}

TEST(CheckRefinement, ExtraTransitionsAreReportedWithThePathToThem) {
    // b is an action of the specification, but Q has no may transition for it.
    check_result_t r = refine("P = {a Q | b R} + ?c P\nQ = a P\n", "P", "I0 = a.I1 + c.I0\nI1 = b.I0\n");
    ASSERT_FALSE(r.holds);
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[1], "  (I0, P): I0 --a--> I1 is allowed by P only towards processes that I1 does not refine, such as Q");
    EXPECT_EQ(r.lines[2], "  (I1, Q): I1 --b--> I0 is not allowed by Q");
    // An action the specification never names is allowed nowhere.
    r = refine("P = a P\n", "P", "I0 = a.I0 + z.I0\n");
    ASSERT_FALSE(r.holds);
    EXPECT_EQ(r.lines.back(), "  (I0, P): I0 --z--> I0 is not allowed by P");
}

TEST(CheckRefinement, FailureBehindACycleOfObligationsIsFound) {
    // (I0, P) needs (I0, Q), which needs b; the chain ends at the missing must.
    const check_result_t r = refine("P = a Q\nQ = a P + b 0\n", "P", "I0 = a.I0\n");
    ASSERT_FALSE(r.holds);
    ASSERT_EQ(r.lines.size(), 3u);
    // The death of (I0, Q) empties the counter of I0 --a--> I0 before that of
    // P's must, because a pair's transition counters come first.
    EXPECT_EQ(r.lines[1], "  (I0, P): I0 --a--> I0 is allowed by P only towards processes that I0 does not refine, such as Q");
    EXPECT_EQ(r.lines[2], "  (I0, Q): I0 offers none of {b.nil} required by Q");
}

TEST(CheckRefinement, EveryCandidateOfATransitionMustFailBeforeThePairFails) {
    // a can be matched towards Q or R; only R allows c, and only Q requires b.
    const std::string spec = "P = ?a Q + ?a R\nQ = b Q\nR = ?c R\n";
    EXPECT_TRUE(refine(spec, "P", "I0 = a.I1\nI1 = b.I1\n").holds);
    EXPECT_TRUE(refine(spec, "P", "I0 = a.I1\nI1 = c.I1\n").holds);
    const check_result_t r = refine(spec, "P", "I0 = a.I1\nI1 = b.I1 + c.I1\n");
    ASSERT_FALSE(r.holds);
    ASSERT_EQ(r.lines.size(), 3u);
    // Whichever candidate is shown, the chain ends in a genuine base failure.
    EXPECT_TRUE(r.lines[2] == "  (I1, Q): I1 --c--> I1 is not allowed by Q" ||
                r.lines[2] == "  (I1, R): I1 --b--> I1 is not allowed by R")
        << r.lines[2];
}

TEST(CheckRefinement, EmptyImplementationRefinesExactlyTheProcessesWithoutMust) {
    auto spec = spec_from("P = ?a P\nQ = ?a P + b P\n");
    const lts_t empty = empty_lts("I0");
    EXPECT_TRUE(check_refinement(*spec, process_of(*spec, "P"), empty).holds);
    EXPECT_FALSE(check_refinement(*spec, process_of(*spec, "Q"), empty).holds);
    // An undefined process allows nothing and requires nothing.
    auto undefined = spec_from("P = a U\n");
    EXPECT_TRUE(check_refinement(*undefined, process_of(*undefined, "U"), empty).holds);
    EXPECT_FALSE(check_refinement(*undefined, process_of(*undefined, "U"), impl_from("I0 = a.I0\n")).holds);
}

TEST(CheckRefinement, MustMatchedOnlyThroughFailingPairsShowsTheFailingMatch) {
    // I0 --a--> I1 is fine towards S, but the only match of the must is a.Q,
    // and I1 does not refine Q.
    const check_result_t r =
        refine("P = {a Q | b R} + ?a S\nS = ?c S\nQ = d Q\n", "P", "I0 = a.I1\nI1 = c.I1\n");
    ASSERT_FALSE(r.holds);
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[1], "  (I0, P): I0 offers {a.Q | b.R} required by P only through failing transitions, "
                          "such as I0 --a--> I1 for a.Q");
    EXPECT_EQ(r.lines[2], "  (I1, Q): I1 --c--> I1 is not allowed by Q");
}
