// Sizes the translator promises for common properties, and its refusals.
// The word-by-word comparison in tests/ltl checks what the automata accept;
// these cases catch a route that silently stops applying and lets an
// automaton grow.
#include <gtest/gtest.h>

#include <string>

#include <sstream>
#include <vector>

#include "ltl/action_steps.hpp"
#include "ltl/dra_output.hpp"
#include "ltl/parser.hpp"
#include "ltl/translate.hpp"

namespace {

struct size_case_t {
    const char* formula;
    int max_states;
    std::size_t max_pairs;
    bool actions = false;
};

TEST(LtlTranslate, KeepsCommonPropertiesSmall) {
    const size_case_t cases[] = {
        {"G F a -> G F b", 3, 2},
        {"G (req -> F grant)", 4, 1},
        {"G F a", 2, 1},
        {"F G a", 2, 1},
        {"G F a & G F b", 3, 1},
        {"G a", 2, 1},
        {"a U b", 3, 1},
        {"(G F p -> G F s) & (G F q -> G F r)", 24, 4},
        {"true", 1, 1},
        {"false", 1, 0},
        {"G F a | G F b | G F c", 2, 1},
        {"G F a & G F b & G F c & G F d", 5, 1},
        // Chains of responses: co-safe obligations in the direct construction.
        {"G (a -> F (b & F (c & F d)))", 9, 1},
        {"G (a -> F (b & F (c & F (d & F e))))", 14, 1},
        {"G (a -> (b U (c U (d U e))))", 5, 1},
        {"p U (q & X (r & F (s & X F (t & X F (u & X F v)))))", 9, 1},
        {"F G a & F G b", 2, 1},
        {"G (coin -> F (coffee | tea | refund))", 2, 1},
        // One action per step: the letters velkin reads.
        {"G (coin -> F (coffee | tea | refund))", 2, 1, true},
        {"G F a -> G F b", 3, 2, true},
        {"G (a -> (b U (c U (d U e))))", 2, 1, true},
        {"G F (press & walk)", 1, 0, true},
        {"F G a & F G b", 1, 0, true},
        // The counted product, not 2^17 sets of pending recurrences.
        {"G F p0 & G F p1 & G F p2 & G F p3 & G F p4 & G F p5 & G F p6 & G F p7 & G F p8 & "
         "G F p9 & G F p10 & G F p11 & G F p12 & G F p13 & G F p14 & G F p15 & G F p16",
         18, 1, true},
        // Safra's construction with the count restarted in each component.
        {"((F (c | ! (F d)) M (c xor b)) M (G (F a) xor (X d R d)))", 108, 3},
        {"((F (c | ! (F d)) M (c xor b)) M (G (F a) xor (X d R d)))", 36, 3, true},
    };
    for (const size_case_t& c : cases) {
        ltl_pool_t pool;
        int f;
        std::string error;
        ASSERT_TRUE(parse_ltl(c.formula, pool, f, error)) << c.formula << ": " << error;
        ltl_limits_t limits;
        dra_t a;
        ASSERT_TRUE(translate_ltl(pool, f, limits, a, error, c.actions)) << c.formula << ": " << error;
        EXPECT_LE(a.state_count, c.max_states) << c.formula << c.actions;
        EXPECT_LE(a.pairs.size(), c.max_pairs) << c.formula << c.actions;
        EXPECT_EQ(a.letter_count(), c.actions ? static_cast<int>(pool.props().size()) + 1 : 1 << pool.props().size());
        EXPECT_EQ(a.delta.size(), static_cast<std::size_t>(a.state_count) * static_cast<std::size_t>(a.letter_count()))
            << c.formula;
    }
}

struct refusal_case_t {
    std::string formula;
    int max_states;
    std::string message;
};

TEST(LtlTranslate, RefusesBeyondItsBounds) {
    std::string seventeen = "p0";
    for (int i = 1; i < 17; ++i) seventeen += " & p" + std::to_string(i);
    const refusal_case_t cases[] = {
        {"G F a -> G F b", 3, "the automaton needs more than 3 states; raising the limit with -l may help"},
        {seventeen, 100000, "the formula has 17 propositions, at most 16 are supported (64 with -a)"},
    };
    for (const refusal_case_t& c : cases) {
        ltl_pool_t pool;
        int f;
        std::string error;
        ASSERT_TRUE(parse_ltl(c.formula, pool, f, error)) << c.formula << ": " << error;
        ltl_limits_t limits;
        limits.max_states = c.max_states;
        dra_t a;
        EXPECT_FALSE(translate_ltl(pool, f, limits, a, error)) << c.formula;
        EXPECT_EQ(error, c.message) << c.formula;
    }
}

struct conjunction_case_t {
    const char* formula;
    std::vector<std::size_t> columns;
};

// Conjunctions that need two different propositions in the same step, and
// look-alikes that do not (another step, a negation, a shared proposition,
// a conjunction under negation).
TEST(LtlActionSteps, FindsConjunctionsThatNeverHold) {
    const conjunction_case_t cases[] = {
        {"G F (press & walk)", {12}},
        {"a & (b U c)", {3}},
        {"(a | b) & c", {9}},
        {"a & X b", {}},
        {"a & !b", {}},
        {"a & !a", {}},
        {"(a | b) & (b | c)", {}},
        {"F a & F b", {}},
        {"a & (b R c)", {3}},
        {"a & (a U b)", {}},
        {"G !(p & q)", {}},
        {"!!(a & b)", {6}},
        {"(a & b) -> (c & d)", {15}},
        {"(a & b) <-> c", {4}},
        {"(a & b) xor c", {4}},
        {"!((a & b) -> c)", {6}},
    };
    for (const conjunction_case_t& c : cases) {
        ltl_pool_t pool;
        int f;
        std::string error;
        std::vector<ltl_conjunction_t> conjunctions;
        ASSERT_TRUE(parse_ltl(c.formula, pool, f, error, &conjunctions)) << c.formula << ": " << error;
        EXPECT_EQ(impossible_conjunctions(pool, conjunctions), c.columns) << c.formula;
    }
}

// In action mode the explicit format still lists 2^AP successors; a letter
// with several propositions takes its lowest proposition's successor.
TEST(LtlActionSteps, ExplicitFormatFillsTheOtherLetters) {
    ltl_pool_t pool;
    int f;
    std::string error;
    ASSERT_TRUE(parse_ltl("G (coin -> F (coffee | tea))", pool, f, error));
    ltl_limits_t limits;
    dra_t a;
    ASSERT_TRUE(translate_ltl(pool, f, limits, a, error, true));
    std::ostringstream out;
    write_dra_explicit(out, a, pool.props(), "f");
    std::istringstream in(out.str());
    std::string line;
    int state = -1;
    std::vector<int> successors;
    auto check = [&]() {
        if (state < 0) return;
        ASSERT_EQ(successors.size(), 8u);
        for (int k = 0; k < 8; ++k) {
            const int letter = k == 0 ? 0 : __builtin_ctz(static_cast<unsigned>(k)) + 1;
            EXPECT_EQ(successors[static_cast<std::size_t>(k)], a.successor(state, letter)) << state << ' ' << k;
        }
    };
    bool body = false, commented = false;
    while (std::getline(in, line)) {
        if (line.rfind("Comment:", 0) == 0) commented = line.find("one action per step") != std::string::npos;
        if (line == "---") body = true;
        else if (!body) continue;
        else if (line.rfind("State: ", 0) == 0) {
            check();
            state = std::stoi(line.substr(7));
            successors.clear();
        } else if (line.rfind("Acc-Sig:", 0) != 0) {
            successors.push_back(std::stoi(line));
        }
    }
    check();
    EXPECT_TRUE(commented);
    EXPECT_EQ(state, a.state_count - 1);
}

}  // namespace
