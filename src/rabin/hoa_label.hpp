// Evaluating HOA label expressions on the letters the product uses: the
// letter in which no proposition holds (letter bit 0) and, for each
// proposition j, the letter in which j holds alone (letter bit j+1). Every
// proposition is true on one letter only, so every label is a finite set of
// letters or the complement of one, and its size is bounded by the number of
// propositions it names, however many the file declares. Aliases are stored
// as evaluated sets. Parsing uses explicit operand and operator stacks, never
// recursion, so nesting depth is not bounded by the call stack.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "rabin/hoa_lexer.hpp"

// A set of letter bits: the sorted distinct bits in listed, or, when
// complemented, every letter bit except those.
struct letter_set_t {
    bool complemented = false;
    std::vector<int> listed;

    static letter_set_t none() { return {}; }
    static letter_set_t all() { return {true, {}}; }
    static letter_set_t single(int bit) { return {false, {bit}}; }
};

letter_set_t complement_of(letter_set_t set);
letter_set_t intersection_of(const letter_set_t& a, const letter_set_t& b);
letter_set_t union_of(const letter_set_t& a, const letter_set_t& b);

// Calls visit(bit) for every member below letter_count, in increasing order.
template <typename visit_t>
void for_each_letter(const letter_set_t& set, int letter_count, visit_t visit) {
    if (!set.complemented) {
        for (int bit : set.listed)
            if (bit < letter_count) visit(bit);
        return;
    }
    std::size_t skip = 0;
    for (int bit = 0; bit < letter_count; ++bit) {
        if (skip < set.listed.size() && set.listed[skip] == bit) {
            ++skip;
            continue;
        }
        visit(bit);
    }
}

// A finite token sequence with the lexer's peek/take interface; the tokens of
// an alias body are replayed from one once all propositions are known.
class hoa_token_list_t {
public:
    explicit hoa_token_list_t(const std::vector<hoa_token_t>& tokens, int end_line)
        : tokens(tokens), end_token{hoa_token_kind_t::end_of_input, "", end_line} {}
    const hoa_token_t& peek() const { return at < tokens.size() ? tokens[at] : end_token; }
    hoa_token_t take() { return at < tokens.size() ? tokens[at++] : end_token; }

private:
    const std::vector<hoa_token_t>& tokens;
    std::size_t at = 0;
    hoa_token_t end_token;
};

struct hoa_label_context_t {
    int ap_count = 0;
    const std::unordered_map<std::string, letter_set_t>* aliases = nullptr;
};

// Whether the token can start a label expression.
bool starts_label(const hoa_token_t& token);

// Parses one label expression from the lexer: stops before the first token
// that cannot continue it. On failure returns false with "line N: reason".
bool parse_label(hoa_lexer_t& in, const hoa_label_context_t& context, letter_set_t& label, std::string& error);
bool parse_label(hoa_token_list_t& in, const hoa_label_context_t& context, letter_set_t& label,
                 std::string& error);
