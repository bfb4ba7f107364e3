// The LTL reader's precedence and associativity, and its rejections. The
// random-formula comparison prints every formula fully parenthesised, so
// only these cases see how unparenthesised text groups.
#include <gtest/gtest.h>

#include <string>

#include "ltl/parser.hpp"

namespace {

struct grouping_case_t {
    const char* text;
    const char* grouped;  // the same formula with explicit parentheses
};

TEST(LtlParser, GroupsByPrecedenceAndAssociativity) {
    const grouping_case_t cases[] = {
        {"a -> b -> c", "a -> (b -> c)"},
        {"a <-> b -> c", "a <-> (b -> c)"},
        {"a | b -> c", "(a | b) -> c"},
        {"a xor b | c", "a xor (b | c)"},
        {"a -> b xor c", "a -> (b xor c)"},
        {"a | b & c", "a | (b & c)"},
        {"a || b && c", "a | (b & c)"},
        {"a & b U c", "a & (b U c)"},
        {"a U b U c", "a U (b U c)"},
        {"a W b R c", "a W (b R c)"},
        {"a M b U c", "a M (b U c)"},
        {"!a U b", "(!a) U b"},
        {"X a U b", "(X a) U b"},
        {"GF a", "G (F a)"},
        {"FG!a", "F (G (!a))"},
        {"aUb U XG b", "aUb U (X (G b))"},
        {"F G !a & b", "(F (G (!a))) & b"},
        {"!(a & b)", "!a | !b"},
        {"a -> b", "!a | b"},
        {"a W b", "b R (b | a)"},
        {"a M b", "b U (a & b)"},
        {"a R b", "!(!a U !b)"},
        {"  a\t&\nb ", "a & b"},
    };
    for (const grouping_case_t& c : cases) {
        ltl_pool_t pool;
        int f = -1, g = -2;
        std::string error;
        ASSERT_TRUE(parse_ltl(c.text, pool, f, error)) << c.text << ": " << error;
        ASSERT_TRUE(parse_ltl(c.grouped, pool, g, error)) << c.grouped << ": " << error;
        EXPECT_EQ(pool.text(f), pool.text(g)) << c.text << " should read as " << c.grouped;
    }
}

struct rejection_case_t {
    std::string text;
    std::string message;
};

TEST(LtlParser, RejectsWithColumnAndExpectation) {
    const std::string deep_parentheses = std::string(1001, '(') + "a" + std::string(1001, ')');
    std::string long_chain = "a";
    for (int i = 0; i < 1001; ++i) long_chain += " U a" + std::to_string(i % 8);
    const std::string not_a_proposition =
        "' is not a proposition: propositions are action names and start with a lower-case letter; "
        "an upper-case word may only join operator letters X F G U W R M, as in GF";
    const rejection_case_t cases[] = {
        {"", "column 1: expected a proposition, true, false, '(' or one of ! X F G, found the end of the formula"},
        {"a &", "column 4: expected a proposition, true, false, '(' or one of ! X F G, found the end of the formula"},
        {"(a | b", "column 7: expected ')', found the end of the formula"},
        {"a b", "column 3: expected an operator or the end of the formula, found 'b'"},
        {"a = b", "column 3: expected an operator or the end of the formula, found the character '='"},
        {"a \x1b b", "column 3: expected an operator or the end of the formula, found the character '\\x1b'"},
        {"Ab", "column 1: 'Ab" + not_a_proposition},
        {"G !Fail", "column 4: 'Fail" + not_a_proposition},
        {"G F Grant1", "column 5: 'Grant1" + not_a_proposition},
        {"GFa", "column 1: 'GFa" + not_a_proposition},
        {"a U Xb_", "column 5: 'Xb_" + not_a_proposition},
        {"a Fail", "column 3: 'Fail" + not_a_proposition},
        {"(a & b GF)", "column 8: expected ')', found 'G'"},
        {"a U )", "column 5: expected a proposition, true, false, '(' or one of ! X F G, found ')'"},
        {deep_parentheses, "column 1001: expected at most 1000 nested parentheses"},
        {long_chain, "column " + std::to_string(long_chain.size() + 1) + ": expected at most 1000 nested operators"},
    };
    for (const rejection_case_t& c : cases) {
        ltl_pool_t pool;
        int f;
        std::string error;
        EXPECT_FALSE(parse_ltl(c.text, pool, f, error)) << c.text;
        EXPECT_EQ(error, c.message) << c.text;
    }
}

}  // namespace
