// Sizes the translator promises for common properties, and its refusals.
// The word-by-word comparison in tests/ltl checks what the automata accept;
// these cases catch a route that silently stops applying and lets an
// automaton grow.
#include <gtest/gtest.h>

#include <string>

#include "ltl/parser.hpp"
#include "ltl/translate.hpp"

namespace {

struct size_case_t {
    const char* formula;
    int max_states;
    std::size_t max_pairs;
};

TEST(LtlTranslate, KeepsCommonPropertiesSmall) {
    const size_case_t cases[] = {
        {"G F a -> G F b", 4, 2},
        {"G (req -> F grant)", 4, 1},
        {"G F a", 2, 1},
        {"F G a", 2, 1},
        {"G F a & G F b", 3, 1},
        {"G a", 2, 1},
        {"a U b", 3, 1},
        {"(G F p -> G F s) & (G F q -> G F r)", 24, 4},
        {"true", 1, 1},
        {"false", 1, 0},
    };
    for (const size_case_t& c : cases) {
        ltl_pool_t pool;
        int f;
        std::string error;
        ASSERT_TRUE(parse_ltl(c.formula, pool, f, error)) << c.formula << ": " << error;
        ltl_limits_t limits;
        dra_t a;
        ASSERT_TRUE(translate_ltl(pool, f, limits, a, error)) << c.formula << ": " << error;
        EXPECT_LE(a.state_count, c.max_states) << c.formula;
        EXPECT_LE(a.pairs.size(), c.max_pairs) << c.formula;
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

}  // namespace
