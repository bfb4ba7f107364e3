// Reads an LTL formula in the usual infix syntax into a formula pool.
// Precedence from loosest to tightest: -> and <-> (right-associative), xor,
// | (||), & (&&), the binary temporal operators U W R M (right-associative),
// and the unary ! X F G. Upper-case operator letters may be written together
// ("GF a"); any other word that starts with an upper-case letter ("Fail",
// "GFa") is refused, as propositions start with a lower-case one. Nesting,
// by parentheses or by operator chains, is bounded so that the recursive
// passes over the formula cannot exhaust the stack.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ltl/formula.hpp"

constexpr int ltl_max_depth = 1000;

// On success stores the formula (simplified, negation normal form) in result.
// On failure returns false with error "column N: expected ..., found ...".
// When conjunctions is given, every '&' of the text is listed with its column,
// its two operands and whether it stands under no negation (positive) and/or
// under one (negative, as the left side of '->', or either way in '<->' and
// xor): only a positive '&' stays a conjunction in negation normal form.
struct ltl_conjunction_t {
    std::size_t column;
    int left, right;
    bool positive = true, negative = false;
};
bool parse_ltl(const std::string& text, ltl_pool_t& pool, int& result, std::string& error,
               std::vector<ltl_conjunction_t>* conjunctions = nullptr);
