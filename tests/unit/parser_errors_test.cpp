#include <gtest/gtest.h>

#include "parser_test_support.hpp"

namespace {

struct error_case_t {
    const char* input;
    int result;
    const char* errors;
};

void expect_cases(const std::vector<error_case_t>& cases) {
    for (const error_case_t& c : cases) {
        parse_outcome_t outcome = parse_text(c.input);
        EXPECT_EQ(outcome.result, c.result) << "input: " << c.input;
        EXPECT_EQ(outcome.errors, c.errors) << "input: " << c.input;
    }
}

}  // namespace

// One input per place where an error can be detected, each with the exact line.
TEST(ParserErrors, EveryErrorPointListsItsShiftableTokens) {
    expect_cases({
        {"=", 1, "syntax error, unexpected '=', expecting $end or process name\n"},
        {"P = a Q }", 1, "syntax error, unexpected '}', expecting $end or process name\n"},
        {"P = a Q a", 1, "syntax error, unexpected action name, expecting $end or process name\n"},
        {"P Q", 1, "syntax error, unexpected process name, expecting '='\n"},
        {"P", 1, "syntax error, unexpected $end, expecting '='\n"},
        {"P = |", 1, "syntax error, unexpected '|', expecting action name or '(' or '?' or '{'\n"},
        {"P = a =", 1, "syntax error, unexpected '=', expecting action name or '(' or '?' or '{'\n"},
        {"P = a }", 1, "syntax error, unexpected '}', expecting action name or '(' or '?' or '{'\n"},
        {"P = a (+", 1, "syntax error, unexpected '+', expecting action name or '?' or '{'\n"},
        {"P = (0", 1, "syntax error, unexpected nil, expecting action name or '?' or '{'\n"},
        {"P = a Q + (", 1, "syntax error, unexpected '(', expecting action name or '?' or '{'\n"},
        {"P = ?Q", 1, "syntax error, unexpected process name, expecting action name\n"},
        {"P = {?a Q}", 1, "syntax error, unexpected '?', expecting action name\n"},
        {"P = {a Q | {", 1, "syntax error, unexpected '{', expecting action name\n"},
        {"P = (a Q}", 1, "syntax error, unexpected '}', expecting ')' or '+'\n"},
        {"P = a (b Q R", 1, "syntax error, unexpected process name, expecting ')' or '+'\n"},
        {"P = {a Q b R}", 1, "syntax error, unexpected action name, expecting '}'\n"},
        {"P = {a Q + b R}", 1, "syntax error, unexpected '+', expecting '}'\n"},
    });
}

TEST(ParserErrors, GrammarConsequences) {
    expect_cases({
        {"P = a )", 1, "syntax error, unexpected ')', expecting action name or '(' or '?' or '{'\n"},
        {"P = ?{a Q}", 1, "syntax error, unexpected '{', expecting action name\n"},
        {"P = {}", 1, "syntax error, unexpected '}', expecting action name\n"},
        // Valid inputs for contrast: no message at all.
        {"", 0, ""},
        {" \t\n..\n", 0, ""},
        {"P = (a Q)", 0, ""},
        {"P=a.Q", 0, ""},
        {"P = a Q R = b P", 0, ""},
        {"P = {a Q | b (c R + ?d 0)} + ?e P", 0, ""},
        {"P = a b c Q + d 0", 0, ""},
    });
}

// The first error ends the parse: nothing after it is read or reported.
TEST(ParserErrors, OnlyTheFirstErrorIsReported) {
    expect_cases({
        {"P = Q R = S T", 1, "syntax error, unexpected process name, expecting action name or '(' or '?' or '{'\n"},
        // An undefined character after the error is never scanned.
        {"P = Q ; ;", 1, "syntax error, unexpected process name, expecting action name or '(' or '?' or '{'\n"},
    });
}
