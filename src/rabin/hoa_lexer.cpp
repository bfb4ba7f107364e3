#include "rabin/hoa_lexer.hpp"

#include <cstdio>

namespace {

bool is_identifier_start(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_identifier_char(int c) { return is_identifier_start(c) || (c >= '0' && c <= '9') || c == '-'; }

}  // namespace

std::string shown(const hoa_token_t& token) {
    switch (token.kind) {
    case hoa_token_kind_t::end_of_input: return "end of file";
    case hoa_token_kind_t::string: return "\"" + message_excerpt(token.text) + "\"";
    case hoa_token_kind_t::body: return "--BODY--";
    case hoa_token_kind_t::end: return "--END--";
    case hoa_token_kind_t::abort: return "--ABORT--";
    default: return "'" + message_excerpt(token.text) + "'";
    }
}

bool hoa_lexer_t::skip_space_and_comments() {
    while (true) {
        in.skip_space();
        if (in.peek() != '/') return true;
        in.get();
        if (in.peek() != '*') {
            // A lone '/' is no token of the format; let advance() report it.
            in.unread("/");
            return true;
        }
        in.get();
        if (!skip_nested_comment(in)) return false;
    }
}

void hoa_lexer_t::advance(bool version_word) {
    current = hoa_token_t();
    int comment_line = in.line();
    if (!skip_space_and_comments()) {
        current = {hoa_token_kind_t::error, "unterminated comment", comment_line};
        return;
    }
    current.line = in.line();
    int c = in.peek();
    if (c == EOF) return;

    if (version_word && c != '-' && c != '"' && !text_cursor_t::is_space(c)) {
        current.kind = hoa_token_kind_t::identifier;
        while (is_identifier_char(in.peek())) current.text.push_back(static_cast<char>(in.get()));
        if (in.peek() == ':' && !current.text.empty() && is_identifier_start(current.text[0])) {
            in.get();
            current.kind = hoa_token_kind_t::header;
            current.text.push_back(':');
            return;
        }
        // A comment may follow the version directly.
        while (in.peek() != EOF && in.peek() != '/' && !text_cursor_t::is_space(in.peek()) && current.text.size() < 64)
            current.text.push_back(static_cast<char>(in.get()));
        if (!current.text.empty()) return;
        current.kind = hoa_token_kind_t::end_of_input;
    }
    if (is_identifier_start(c)) {
        current.kind = hoa_token_kind_t::identifier;
        while (is_identifier_char(in.peek())) current.text.push_back(static_cast<char>(in.get()));
        if (in.peek() == ':') {
            in.get();
            current.kind = hoa_token_kind_t::header;
            current.text.push_back(':');
        }
        return;
    }
    if (c >= '0' && c <= '9') {
        current.kind = hoa_token_kind_t::integer;
        while (in.peek() >= '0' && in.peek() <= '9') current.text.push_back(static_cast<char>(in.get()));
        return;
    }
    if (c == '"') {
        in.get();
        current.kind = hoa_token_kind_t::string;
        while (true) {
            int d = in.get();
            if (d == EOF) {
                current = {hoa_token_kind_t::error, "unterminated string", current.line};
                return;
            }
            if (d == '"') return;
            if (d == '\\') {
                d = in.get();
                if (d == EOF) continue;
            }
            current.text.push_back(static_cast<char>(d));
        }
    }
    if (c == '@') {
        in.get();
        current.kind = hoa_token_kind_t::alias;
        current.text = "@";
        while (is_identifier_char(in.peek())) current.text.push_back(static_cast<char>(in.get()));
        if (current.text.size() == 1) current = {hoa_token_kind_t::error, "'@' without an alias name", current.line};
        return;
    }
    if (c == '-') {
        // "--" NAME "--", where NAME is upper-case letters.
        std::string word;
        while (in.peek() == '-' && word.size() < 2) word.push_back(static_cast<char>(in.get()));
        while (in.peek() >= 'A' && in.peek() <= 'Z' && word.size() < 12) word.push_back(static_cast<char>(in.get()));
        for (int dash = 0; dash < 2 && in.peek() == '-'; ++dash) word.push_back(static_cast<char>(in.get()));
        if (word == "--BODY--") current.kind = hoa_token_kind_t::body;
        else if (word == "--END--") current.kind = hoa_token_kind_t::end;
        else if (word == "--ABORT--") current.kind = hoa_token_kind_t::abort;
        else current = {hoa_token_kind_t::error, "unexpected '" + message_excerpt(word) + "'", current.line};
        return;
    }
    switch (c) {
    case '!': case '&': case '|': case '(': case ')': case '[': case ']': case '{': case '}':
        in.get();
        current.kind = hoa_token_kind_t::punctuation;
        current.text = std::string(1, static_cast<char>(c));
        return;
    default:
        in.get();  // consumed, so that a caller skipping tokens moves on
        current = {hoa_token_kind_t::error, "unexpected character '" + message_excerpt(std::string(1, static_cast<char>(c))) + "'",
                   current.line};
    }
}
