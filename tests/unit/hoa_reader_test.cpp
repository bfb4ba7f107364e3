#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "rabin/rabin.hpp"

namespace {

struct read_result_t {
    std::unique_ptr<rabin_t> automaton;
    std::string error;
};

read_result_t read_text(const std::string& text) {
    std::istringstream in(text);
    read_result_t result;
    result.automaton = read_rabin_automaton(in, result.error);
    return result;
}

std::vector<uint32_t> members(const bitset_t& s) {
    std::vector<uint32_t> out;
    for (uint32_t i = 0; i < s.capacity(); ++i)
        if (s.test(i)) out.push_back(i);
    return out;
}

// The same automaton in both formats must give the same tables.
void expect_same_automaton(const rabin_t& a, const rabin_t& b) {
    EXPECT_EQ(a.state_count, b.state_count);
    EXPECT_EQ(a.start, b.start);
    EXPECT_EQ(a.pair_count, b.pair_count);
    EXPECT_EQ(a.ap, b.ap);
    EXPECT_EQ(a.delta, b.delta);
    ASSERT_EQ(a.good.size(), b.good.size());
    for (std::size_t p = 0; p < a.good.size(); ++p) {
        EXPECT_EQ(members(a.good[p]), members(b.good[p])) << "good " << p;
        EXPECT_EQ(members(a.bad[p]), members(b.bad[p])) << "bad " << p;
    }
}

const char* const two_states_dra =
    "DRA v2 explicit\nStates: 2\nAcceptance-Pairs: 1\nStart: 0\nAP: 2 \"a\" \"b\"\n---\n"
    "State: 0\nAcc-Sig: +0\n1\n0\n1\n1\n"
    "State: 1\nAcc-Sig: -0\n0 1 1 0\n";

}  // namespace

TEST(HoaReader, ExplicitAndImplicitLabelsGiveTheLineFormatAutomaton) {
    read_result_t dra = read_text(two_states_dra);
    ASSERT_TRUE(dra.automaton) << dra.error;

    read_result_t explicit_labels = read_text(
        "HOA: v1\nname: \"two states\"\nStates: 2\nStart: 0\nAP: 2 \"a\" \"b\"\n"
        "acc-name: Rabin 1\nAcceptance: 2 Inf(0) & Fin(1)\nproperties: explicit-labels state-acc\n"
        "--BODY--\n"
        "State: 0 {0}\n[!0 & !1] 1\n[0 & !1] 0\n[!0 & 1] 1\n"
        "State: 1 \"other\" {1}\n[!0&!1] 0 [0] 1 [!0 & 1] 1\n"
        "--END--\n");
    ASSERT_TRUE(explicit_labels.automaton) << explicit_labels.error;
    expect_same_automaton(*explicit_labels.automaton, *dra.automaton);

    // Implicit labels: 2^|AP| edges per state in valuation order, as the line format.
    read_result_t implicit_labels = read_text(
        "  /* leading comment /* nested */ */ HOA: v1\nStates: 2\nStart: 0\nAP: 2 \"a\" \"b\"\n"
        "Acceptance: 2 Fin(1) & Inf(0)\n--BODY--\n"
        "State: 0 {0}\n1\n0\n1\n1\n"
        "State: 1 {1}\n0 1 1 0\n"
        "--END--\n");
    ASSERT_TRUE(implicit_labels.automaton) << implicit_labels.error;
    expect_same_automaton(*implicit_labels.automaton, *dra.automaton);
}

TEST(HoaReader, AliasesStateLabelsAndOperatorPrecedence) {
    read_result_t r = read_text(
        "HOA: v1\nStates: 3\nStart: 2\nAP: 3 \"p\" \"q\" \"r\"\n"
        "Alias: @p 0\nAlias: @pq @p | 1\n"
        "Acceptance: 1 Inf(0)\n--BODY--\n"
        "State: 0\n[!(@pq | 2)] 0 [@p] 1 [1] 2 [2 & !0 | 0 & 1 & 2] 1\n"  // & binds tighter than |
        "State: 1\n[t] 1\n"
        "State: [!2] 2 {0}\n2\n"  // a state label applies to every edge; r alone has no edge
        "--END--\n");
    ASSERT_TRUE(r.automaton) << r.error;
    const rabin_t& a = *r.automaton;
    EXPECT_EQ(a.state_count, 4);  // three states and the sink
    EXPECT_EQ(a.successor(0, -1), 0);
    EXPECT_EQ(a.successor(0, 0), 1);
    EXPECT_EQ(a.successor(0, 1), 2);
    EXPECT_EQ(a.successor(0, 2), 1);
    EXPECT_EQ(a.successor(1, 2), 1);
    EXPECT_EQ(a.successor(2, -1), 2);
    EXPECT_EQ(a.successor(2, 1), 2);
    EXPECT_EQ(a.successor(2, 2), 3);
    for (int letter = -1; letter < 3; ++letter) EXPECT_EQ(a.successor(3, letter), 3);
    EXPECT_EQ(members(a.good[0]), (std::vector<uint32_t>{2}));
}

TEST(HoaReader, TransitionMarksMoveOntoTheStatesTheyEnter) {
    // Infinitely many a-steps, marked on the transitions of a single state.
    read_result_t r = read_text(
        "HOA: v1\nStates: 1\nStart: 0\nAP: 1 \"a\"\nacc-name: Buchi\nAcceptance: 1 Inf(0)\n--BODY--\n"
        "State: 0\n[0] 0 {0}\n[!0] 0\n--END--\n");
    ASSERT_TRUE(r.automaton) << r.error;
    const rabin_t& a = *r.automaton;
    // 0 = (0, no marks), the start; 1 = (0, {0}), entered by a.
    EXPECT_EQ(a.state_count, 2);
    EXPECT_EQ(a.start, 0);
    EXPECT_EQ(a.delta, (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(members(a.good[0]), (std::vector<uint32_t>{1}));
    EXPECT_TRUE(a.bad[0].is_empty());

    // State marks add to the marks of every outgoing transition; marks the
    // condition never mentions (5) do not split states.
    read_result_t mixed = read_text(
        "HOA: v1\nStates: 2\nStart: 0\nAP: 1 \"a\"\nAcceptance: 6 Fin(1) & Inf(0)\n--BODY--\n"
        "State: 0 {1}\n[0] 1 {0 5}\n[!0] 1 {5}\n"
        "State: 1\n[0] 0 {0}\n[!0] 1\n--END--\n");
    ASSERT_TRUE(mixed.automaton) << mixed.error;
    const rabin_t& m = *mixed.automaton;
    // BFS from (0,{}): other -> (1,{1}) = 1, a -> (1,{0,1}) = 2;
    // from 1 and 2: other -> (1,{}) = 3, a -> (0,{0}) = 4; 3 like 1; 4: other -> 1, a -> 2.
    EXPECT_EQ(m.state_count, 5);
    EXPECT_EQ(m.delta, (std::vector<int>{1, 2, 3, 4, 3, 4, 3, 4, 1, 2}));
    EXPECT_EQ(members(m.good[0]), (std::vector<uint32_t>{2, 4}));
    EXPECT_EQ(members(m.bad[0]), (std::vector<uint32_t>{1, 2}));
}

TEST(HoaReader, ParityAndOtherConditionsBecomeRabinPairs) {
    // Five states carrying marks {}, {0}, {1}, {2}, {3}; every edge stays.
    auto automaton_with = [](const std::string& acceptance) {
        std::string text = "HOA: v1\nStates: 5\nStart: 0\nAP: 0\n" + acceptance + "\n--BODY--\n";
        for (int s = 0; s < 5; ++s)
            text += "State: " + std::to_string(s) + (s == 0 ? std::string() : " {" + std::to_string(s - 1) + "}") +
                    "\n[t] " + std::to_string(s) + "\n";
        return read_text(text + "--END--\n");
    };
    struct pairs_t {
        std::vector<uint32_t> good, bad;
    };
    struct case_t {
        std::string acceptance;
        std::vector<pairs_t> pairs;
    };
    const std::vector<case_t> cases = {
        {"acc-name: parity min even 3\nAcceptance: 4 Inf(0) | (Fin(1) & Inf(2))", {{{1}, {}}, {{3}, {2}}}},
        // min odd 3: Fin(0) & (Inf(1) | Fin(2)); the Fin-only disjunct asks for nothing infinitely often
        {"acc-name: parity min odd 3\nAcceptance: 4 Fin(0) & (Inf(1) | Fin(2))",
         {{{2}, {1}}, {{0, 1, 2, 3, 4}, {1, 3}}}},
        {"acc-name: parity max even 4\nAcceptance: 4 Fin(3) & (Inf(2) | (Fin(1) & Inf(0)))",
         {{{3}, {4}}, {{1}, {2, 4}}}},
        {"acc-name: parity max odd 4\nAcceptance: 4 Inf(3) | (Fin(2) & Inf(1))", {{{4}, {}}, {{2}, {3}}}},
        {"Acceptance: 4 Fin(!0) & Inf(!1)", {{{0, 1, 3, 4}, {0, 2, 3, 4}}}},
        {"Acceptance: 4 t", {{{0, 1, 2, 3, 4}, {}}}},
        {"Acceptance: 4 f", {}},
        {"Acceptance: 4 (Inf(0) | f) & t | Inf(0)", {{{1}, {}}}},   // repeats collapse
        {"Acceptance: 4 Inf(0) & Fin(0) | Fin(0)", {{{0, 1, 2, 3, 4}, {1}}}},  // Inf(x) & Fin(x) is false
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.acceptance);
        read_result_t r = automaton_with(c.acceptance);
        ASSERT_TRUE(r.automaton) << r.error;
        ASSERT_EQ(r.automaton->pair_count, static_cast<int>(c.pairs.size()));
        for (std::size_t p = 0; p < c.pairs.size(); ++p) {
            EXPECT_EQ(members(r.automaton->good[p]), c.pairs[p].good) << p;
            EXPECT_EQ(members(r.automaton->bad[p]), c.pairs[p].bad) << p;
        }
    }
}

TEST(HoaReader, MissingLettersGoToASinkOutsideEveryGoodSet) {
    read_result_t r = read_text(
        "HOA: v1\nStates: 2\nStart: 1\nAP: 1 \"a\"\nAcceptance: 0 t\n--BODY--\n"
        "State: 0\nState: 1\n[0] 0\n--END--\n");
    ASSERT_TRUE(r.automaton) << r.error;
    const rabin_t& a = *r.automaton;
    EXPECT_EQ(a.state_count, 3);
    EXPECT_EQ(a.start, 1);
    EXPECT_EQ(a.delta, (std::vector<int>{2, 2, 2, 0, 2, 2}));
    EXPECT_EQ(members(a.good[0]), (std::vector<uint32_t>{0, 1}));
}

TEST(HoaReader, FirstAutomatonIsReadAndAbortedOnesAreSkipped) {
    const std::string second = "HOA: v1\nStates: 1\nStart: 0\nAcceptance: 0 t\n--BODY--\nState: 0\n[t] 0\n--END--\n";
    read_result_t r = read_text(
        "HOA: v1\nStates: 2\nStart: 0\n--ABORT--\n" + second +
        "HOA: v1\nthis one is never looked at @ ~ \"");
    ASSERT_TRUE(r.automaton) << r.error;
    EXPECT_EQ(r.automaton->state_count, 1);
    EXPECT_EQ(r.automaton->pair_count, 1);

    read_result_t body_abort = read_text("HOA: v1\nStates: 1\nStart: 0\nAcceptance: 0 t\n--BODY--\nState: 0\n--ABORT--\n" +
                                         second);
    ASSERT_TRUE(body_abort.automaton) << body_abort.error;
}

TEST(HoaReader, MalformedFilesAreRejectedWithTheirLine) {
    const std::string head = "HOA: v1\nStates: 2\nStart: 0\nAP: 1 \"a\"\nAcceptance: 1 Inf(0)\n--BODY--\n";  // 1-6
    struct case_t {
        std::string text;
        std::string error;
    };
    const std::vector<case_t> cases = {
        {"HOA: v2\n", "line 1: unsupported HOA version 'v2', v1 expected"},
        {"HOA: v1\nStates: 2\nStart: 0\nAcceptance: 1 Inf(0)\n", "line 5: expected a header item or --BODY--, found end of file"},
        {"HOA: v1\nStart: 0\nAcceptance: 1 Inf(0)\n--BODY--\n--END--\n", "line 2: start state 0 has no State: line"},
        {"HOA: v1\nStates: 0\nStart: 0\nAcceptance: 0 t\n--BODY--\n--END--\n", "line 2: States: 0, the automaton has no states"},
        {"HOA: v1\nStates: 1\nAcceptance: 1 Inf(0)\n--BODY--\n", "line 4: no Start: line in the header"},
        {"HOA: v1\nStates: 1\nStart: 0\n--BODY--\n", "line 4: no Acceptance: line in the header"},
        {"HOA: v1\nStates: 2\nStart: 2\nAcceptance: 0 t\n--BODY--\n", "line 3: start state 2 outside 0..1"},
        {"HOA: v1\nStates: 2\nStart: 0\nStart: 1\n", "line 4: a second Start: (the first is on line 3): exactly one initial state is supported"},
        {"HOA: v1\nStates: 2\nStart: 0\nStates: 3\n", "line 4: a second States: (the first is on line 2)"},
        {"HOA: v1\nStates: 2\nStart: 0 & 1\n", "line 3: Start: with a conjunction of states: alternating automata are not supported"},
        {"HOA: v1\nStates: 2\nStart: 0\nAP: 100001\n", "line 4: 100001 atomic propositions, at most 100000 are supported"},
        {"HOA: v1\nStates: 2\nStart: 0\nAP: 3 \"a\" \"b\"\n\"a\"\n", "line 5: proposition \"a\" is declared twice in AP:"},
        {"HOA: v1.1\nStates: 1\n", "line 1: unsupported HOA version 'v1.1', v1 expected"},
        {"HOA:\nStates: 1\n", "line 1: HOA: without a version, v1 expected"},
        {"HOA: /* none */ --BODY--\n", "line 1: HOA: without a version, v1 expected"},
        {"HOA: v1\nStates: 1\nStart: 0\nAcceptance: 0 t\nProperties: deterministic\n",
         "line 5: unknown header item 'Properties:': items that start with an upper-case letter cannot be ignored"},
        {"HOA: v1\nStates: 1\nStart: 0\nAcceptance: 0 t\nState: 0\n",
         "line 5: unknown header item 'State:': items that start with an upper-case letter cannot be ignored"},
        {"HOA: v1\nStart: 0\nStart: 0\nStart: 1\n",
         "line 4: a second Start: (the first is on line 2): exactly one initial state is supported"},
        {"HOA: v1\nStates: 2\nStart: 0\nAP: 2 \"a\"\nAcceptance: 0 t\n", "line 5: AP: declares 2 names but lists 1"},
        {"HOA: v1\nStates: 2\nStart: 0\nAcceptance: 2 Inf(0) & Inf(1)\nacc-name: generalized-Buchi 2\n--BODY--\n",
         "line 4: acceptance 'generalized-Buchi 2' is not a Rabin condition: the disjunct Inf(0) & Inf(1) needs several Inf sets at once"},
        {"HOA: v1\nStates: 2\nStart: 0\nAcceptance: 4 (Fin(0) | Inf(1)) & (Fin(2) | Inf(3))\n--BODY--\n",
         "line 4: acceptance is not a Rabin condition: the disjunct Inf(1) & Inf(3) needs several Inf sets at once"},
        {"HOA: v1\nStates: 2\nStart: 0\nAcceptance: 1 Inf(1)\n", "line 4: acceptance set 1 but Acceptance: declares 1"},
        {"HOA: v1\nStates: 2\nStart: 0\nAcceptance: 1 Inf(0) &\n--BODY--\n",
         "line 5: expected Inf, Fin, t, f or '(' in the acceptance condition, found --BODY--"},
        {"HOA: v1\nStates: 2\nStart: 0\nAcceptance: 1 (Inf(0)\n--BODY--\n", "line 5: unbalanced '(' in the acceptance condition"},
        {"HOA: v1\nStates: 2\nStart: 0\nAcceptance: 14 (Fin(0)|Fin(1)) & (Fin(2)|Fin(3)) & (Fin(4)|Fin(5)) & "
         "(Fin(6)|Fin(7)) & (Fin(8)|Fin(9)) & (Fin(10)|Fin(11)) & (Fin(12)|Fin(13))\n",
         "line 4: the acceptance condition has more than 64 disjuncts in disjunctive form"},
        {"HOA: v1\nStates: 2\nStart: 0\nAP: 1 \"a\"\nAlias: @x 1\nAcceptance: 0 t\n--BODY--\n",
         "line 5: proposition 1 in a label, but AP: declares 1"},
        {"HOA: v1\nStates: 2\nStart: 0\nAlias: @x @y\nAlias: @y t\nAcceptance: 0 t\n--BODY--\n", "line 4: undefined alias @y"},
        {"HOA: v1\nStates: 2 /* never closed\n", "line 2: unterminated comment"},
        {"HOA: v1\nname: \"open\n", "line 2: unterminated string"},
        {head + "State: 0\n[0] 1\n[0 | !0] 0\n", "line 9: not deterministic: state 0 has two edges for the letter in which only \"a\" holds"},
        {head + "State: 0\n[!0] 1\n[t] 0\n", "line 9: not deterministic: state 0 has two edges for the letter in which no proposition holds"},
        {head + "State: 0\n[0] 2\n", "line 8: target state 2 outside 0..1"},
        {head + "State: 0\n[0] 1 & 0\n", "line 8: a conjunction of target states: alternating automata are not supported"},
        {head + "State: 2\n", "line 7: state 2 outside 0..1"},
        {head + "State: 0\nState: 0\n", "line 8: state 0 is listed twice"},
        {head + "State: 1\n--END--\n", "line 3: start state 0 has no State: line"},
        {head + "State: 0\n[0] 0\n[!0] 1\n--END--\n", "line 9: target state 1 has no State: line"},
        {"HOA: v1\nStart: 0\nAcceptance: 0 t\n--BODY--\nState: 0\n[t] 0\nState: 2\n[t] 0\n--END--\n",
         "line 9: state 1 has no State: line"},
        {"HOA: v1\nStart: 0\nAcceptance: 0 t\n--BODY--\nState: 0\n[t] 2147483647\n--END--\n",
         "line 6: target state 2147483647 has no State: line"},
        {head + "State: 0\n[0] 1\n[0] 1 {0}\n", "line 9: not deterministic: state 0 has two edges for the letter in which only \"a\" holds"},
        {head + "State: 0\n[0] 1 {1}\n", "line 8: acceptance set 1 but Acceptance: declares 1"},
        {head + "State: 0\n[2] 1\n", "line 8: proposition 2 in a label, but AP: declares 1"},
        {head + "State: 0\n[@none] 1\n", "line 8: undefined alias @none"},
        {head + "State: 0\n[0] 1\n1\n", "line 9: state 0 mixes labelled and unlabelled edges"},
        {head + "State: 0\n1\n", "line 9: state 0 has 1 implicitly labelled edges, 2 expected"},
        {head + "State: 0\n1 1 1\n", "line 8: state 0 has more than 2 implicitly labelled edges"},
        {head + "State: [0] 0\n[0] 1\n", "line 8: an edge label in a state that has a state label"},
        {head + "State: 0\n[0 1\n", "line 8: expected ']' after the edge label, found '1'"},
        {head + "State: 0\n[0] 1\n", "line 9: expected State: or --END--, found end of file"},
        {head + "State: 0 ~\n", "line 7: unexpected character '~'"},
        // Quoted file text is kept on one line: control characters are escaped.
        {"HOA: v1\nStates: 1\n\"two\nlines\"\n", "line 3: expected a header item or --BODY--, found \"two\\x0alines\""},
        {"HOA: v1\nStates: 1\n\x01\n", "line 3: unexpected character '\\x01'"},
        {"HOA: v1\nStates: 1\n--ABORT--\n", "line 4: the automaton was aborted with --ABORT-- and no other follows"},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.text);
        read_result_t r = read_text(c.text);
        EXPECT_FALSE(r.automaton);
        EXPECT_EQ(r.error, c.error);
    }
}

TEST(HoaReader, HugeStateCountsAreNotAllocatedUpFront) {
    read_result_t r = read_text("HOA: v1\nStates: 2000000000\nStart: 5\nAP: 30" + [] {
        std::string names;
        for (int k = 0; k < 30; ++k) names += " \"p" + std::to_string(k) + "\"";
        return names;
    }() + "\nAcceptance: 1 Inf(0)\n--BODY--\nState: 5\n[t] 7\n--END--\n");
    EXPECT_FALSE(r.automaton);
    EXPECT_EQ(r.error, "line 8: target state 7 has no State: line");
}

TEST(HoaReader, VariantsOfOneAutomatonThatReadTheSame) {
    const std::string body = "--BODY--\nState: 0 {0}\n[!0] 1\n[0] 0\nState: 1\n[t] 0\n--END--\n";
    const std::string plain = "HOA: v1\nStates: 2\nStart: 0\nAP: 1 \"a\"\nAcceptance: 1 Inf(0)\n" + body;
    read_result_t expected = read_text(plain);
    ASSERT_TRUE(expected.automaton) << expected.error;
    const std::vector<std::string> variants = {
        "\xEF\xBB\xBF" + plain,
        "HOA: v1\nStart: 0\nAP: 1 \"a\"\nAcceptance: 1 Inf(0)\n" + body,  // the count comes from the body
        "HOA: v1\nStates: 2\nStart: 0\nStart: 0\nAP: 1 \"a\"\nAcceptance: 1 Inf(0)\n" + body,
        "HOA: v1/* */\nStates: 2\nStart: 0\nAP: 1 \"a\"\nAcceptance: 1 Inf(0)\nx-Private: 3 \"y\"\n" + body,
        // An edge repeated, identically or on a letter it shares with the same target and marks.
        "HOA: v1\nStates: 2\nStart: 0\nAP: 1 \"a\"\nAcceptance: 1 Inf(0)\n--BODY--\n"
        "State: 0 {0}\n[!0] 1\n[0] 0\n[0] 0\n[!0 | f] 1\nState: 1\n[t] 0\n[0] 0\n--END--\n",
    };
    for (const std::string& text : variants) {
        SCOPED_TRACE(text);
        read_result_t r = read_text(text);
        ASSERT_TRUE(r.automaton) << r.error;
        expect_same_automaton(*r.automaton, *expected.automaton);
    }
    // A byte-order mark before the line-based format is dropped as well.
    read_result_t marked_dra = read_text("\xEF\xBB\xBF" + std::string(two_states_dra));
    read_result_t dra = read_text(two_states_dra);
    ASSERT_TRUE(marked_dra.automaton) << marked_dra.error;
    expect_same_automaton(*marked_dra.automaton, *dra.automaton);
}

TEST(HoaReader, ManyPropositionsAreReadOnTheirOwnLetters) {
    // 40 propositions and a state whose edges name the 35th one alone, by
    // number and through a negated alias over all others.
    std::string names;
    for (int k = 0; k < 40; ++k) names += " \"p" + std::to_string(k) + "\"";
    std::string others = "0";
    for (int k = 1; k < 40; ++k)
        if (k != 35) others += " | " + std::to_string(k);
    read_result_t r = read_text("HOA: v1\nStates: 3\nStart: 0\nAP: 40" + names + "\nAlias: @others " + others +
                                "\nAcceptance: 1 Inf(0)\n--BODY--\n"
                                "State: 0\n[35] 1\n[!35 & @others] 2\n[!@others & !35] 0\n"
                                "State: 1 {0}\n[t] 1\nState: 2\n[t] 2\n--END--\n");
    ASSERT_TRUE(r.automaton) << r.error;
    const rabin_t& a = *r.automaton;
    EXPECT_EQ(a.state_count, 3);
    EXPECT_EQ(a.ap.size(), 40u);
    EXPECT_EQ(a.successor(0, -1), 0);
    EXPECT_EQ(a.successor(0, 35), 1);
    for (int letter : {0, 1, 34, 36, 39}) EXPECT_EQ(a.successor(0, letter), 2) << letter;
    EXPECT_EQ(members(a.good[0]), (std::vector<uint32_t>{1}));

    // Implicit labels would need 2^40 edges per state.
    read_result_t implicit = read_text("HOA: v1\nStates: 1\nStart: 0\nAP: 40" + names +
                                       "\nAcceptance: 0 t\n--BODY--\nState: 0\n0 0\n--END--\n");
    EXPECT_FALSE(implicit.automaton);
    EXPECT_EQ(implicit.error, "line 9: state 0 has 2 implicitly labelled edges, 1099511627776 expected");
}
