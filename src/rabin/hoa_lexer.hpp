// Tokens of HOA v1 text, with the line each starts on. Comments "/* ... */"
// nest and count as white space. The lexer never looks further ahead than
// one character, so a huge body is read as it streams in.
#pragma once

#include <string>

#include "rabin/text_cursor.hpp"

enum class hoa_token_kind_t {
    end_of_input,
    header,      // an identifier directly followed by ':' ("States:", "State:"); text keeps the ':'
    identifier,  // also t, f, Inf, Fin
    integer,     // text holds the digits
    string,      // text holds the unescaped contents
    alias,       // text holds the name with its '@'
    body,        // --BODY--
    end,         // --END--
    abort,       // --ABORT--
    punctuation, // one of ! & | ( ) [ ] { }; text holds it
    error,       // text holds the reason
};

struct hoa_token_t {
    hoa_token_kind_t kind = hoa_token_kind_t::end_of_input;
    std::string text;
    int line = 1;
};

// The token as messages quote it: 'text', "string", --BODY--, end of file.
std::string shown(const hoa_token_t& token);

// Whether token is the punctuation character c.
inline bool is_punct(const hoa_token_t& token, char c) {
    return token.kind == hoa_token_kind_t::punctuation && token.text.size() == 1 && token.text[0] == c;
}

class hoa_lexer_t {
public:
    explicit hoa_lexer_t(text_cursor_t& in) : in(in) { advance(); }

    const hoa_token_t& peek() const { return current; }
    hoa_token_t take() {
        hoa_token_t token = std::move(current);
        advance(token.kind == hoa_token_kind_t::header && token.text == "HOA:");
        return token;
    }

private:
    // After "HOA:" the version is read as one word ("v1.1" stays whole), so
    // that a message can quote it; a header item there means no version.
    void advance(bool version_word = false);
    bool skip_space_and_comments();  // false: an unterminated comment

    text_cursor_t& in;
    hoa_token_t current;
};
