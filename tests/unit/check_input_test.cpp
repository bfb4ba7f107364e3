#include "check/check_input.hpp"

#include "check/deadlock.hpp"
#include "check_test_support.hpp"

namespace {

bool impl_error(const std::string& text, std::string& error, const std::string& initial = "I0") {
    lts_t lts;
    return !read_implementation(text, "IMPL", initial, lts, error);
}

}  // namespace

TEST(CheckInput, ListingsOfTheSolverAreReadWithTheirVerdictLine) {
    const lts_t lts = impl_from(
        "The answer is YES, there is an implementation of P that satisfies the condition given by the Rabin automaton.\n"
        "I0 = a.I4 + b.I7\nI4 = a.I4\n");
    ASSERT_EQ(lts.state_count(), 3);
    EXPECT_EQ(lts.state_names[0], "I0");
    EXPECT_EQ(lts.state_names[1], "I4");
    EXPECT_EQ(lts.state_names[2], "I7");
    EXPECT_FALSE(lts.has_transitions(2));  // a target without its own line has no transitions
    ASSERT_EQ(lts.edge_end(0) - lts.edge_begin(0), 2);

    for (const char* empty : {
             "The answer is NO, no implementation of P satisfies the condition given by the Rabin automaton.\n\n",
             "The answer is YES, there is an implementation of P that satisfies the condition given by the Rabin "
             "automaton.\nThere exists an implementation with no transitions.\n\n",
             "", "\n"}) {
        const lts_t e = impl_from(empty);
        EXPECT_EQ(e.state_count(), 1) << empty;
        EXPECT_FALSE(e.has_transitions(0)) << empty;
    }
    // Hand-written systems may use inline states and another initial name.
    const lts_t inline_lts = impl_from("S = a b S\n", "S");
    EXPECT_EQ(inline_lts.state_count(), 2);
}

TEST(CheckInput, ImplementationsWithMayOrDisjunctiveTransitionsAreRefused) {
    std::string error;
    EXPECT_TRUE(impl_error("I0 = a.I1 + ?b.I0\n", error));
    EXPECT_EQ(error, "IMPL: process I0 has the may transition ?b.I0; an implementation has must transitions only");
    EXPECT_TRUE(impl_error("I0 = a.I1\nI1 = {a I0 | b I1}\n", error));
    EXPECT_EQ(error, "IMPL: process I1 has the hypertransition {a.I0 | b.I1}; an implementation has plain must "
                     "transitions only");
    EXPECT_TRUE(impl_error("I0 = a.I1\nI0 = b.I1\n", error));
    EXPECT_EQ(error, "IMPL: Warning: redefinition of 'I0'");
    EXPECT_TRUE(impl_error("I1 = a.I1\n", error));
    EXPECT_EQ(error, "IMPL: the initial state I0 does not occur");
    EXPECT_TRUE(impl_error("I0 = a.\n", error));
    EXPECT_EQ(error.rfind("IMPL: syntax error, unexpected $end", 0), 0u) << error;
    // A may transition in an unreachable state does not matter.
    EXPECT_FALSE(impl_error("I0 = a.I0\nJ = ?a.J\n", error)) << error;
}

TEST(CheckInput, AutomataThatPointOutsideTheirStatesAreRefused) {
    std::string error;
    std::istringstream start("DRA v2 explicit\nStates: 1\nAcceptance-Pairs: 0\nStart: 3\nAP: 0\n---\n"
                             "State: 0\nAcc-Sig:\n0\n");
    EXPECT_FALSE(read_automaton(start, error));
    EXPECT_FALSE(error.empty());
    std::istringstream none("DRA v2 explicit\nStates: 0\n---\n");
    EXPECT_FALSE(read_automaton(none, error));
    EXPECT_EQ(error.rfind("error reading Rabin automaton", 0), 0u) << error;
}

TEST(CheckDeadlock, NearestStateWithoutTransitionsIsReportedWithItsPath) {
    EXPECT_TRUE(check_deadlock_free(impl_from("I0 = a.I1\nI1 = b.I0\n")).holds);
    const check_result_t r = check_deadlock_free(impl_from("I0 = a.I1 + b.I2\nI1 = a.I3\nI2 = c.I4\nI3 = a.I0\n"));
    ASSERT_FALSE(r.holds);
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], "does not hold: I4 has no transitions");
    EXPECT_EQ(r.lines[1], "  reached by I0 --b--> I2 --c--> I4");
    const check_result_t initial = check_deadlock_free(empty_lts("I0"));
    ASSERT_FALSE(initial.holds);
    EXPECT_EQ(initial.lines[1], "  reached by I0");
}
