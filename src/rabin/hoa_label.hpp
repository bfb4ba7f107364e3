// Evaluating HOA label expressions on the letters the product uses. A label
// becomes a letter mask: bit 0 for the letter in which no proposition holds,
// bit j+1 for the letter in which proposition j holds alone. Every operator
// then is one bitwise instruction, and aliases are stored as masks, so alias
// chains cost nothing however they nest. Parsing uses explicit operand and
// operator stacks, never recursion, so nesting depth is not bounded by the
// call stack.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "rabin/hoa_lexer.hpp"

using letter_mask_t = uint32_t;

// The mask of every letter over ap_count propositions (ap_count <= 30).
inline letter_mask_t all_letters(int ap_count) {
    return static_cast<letter_mask_t>((uint64_t{1} << (ap_count + 1)) - 1);
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
    const std::unordered_map<std::string, letter_mask_t>* aliases = nullptr;
};

// Whether the token can start a label expression.
bool starts_label(const hoa_token_t& token);

// Parses one label expression from the lexer: stops before the first token
// that cannot continue it. On failure returns false with "line N: reason".
bool parse_label(hoa_lexer_t& in, const hoa_label_context_t& context, letter_mask_t& mask, std::string& error);
bool parse_label(hoa_token_list_t& in, const hoa_label_context_t& context, letter_mask_t& mask,
                 std::string& error);
