#include "rabin/text_cursor.hpp"

#include <climits>

int text_cursor_t::get() {
    int c;
    if (pushed_at < pushed.size()) {
        c = static_cast<unsigned char>(pushed[pushed_at++]);
    } else {
        c = EOF;
        // A file buffer throws when the read itself fails (a directory, say):
        // that is the end of the input, never an escaping exception.
        try {
            if (buffer) c = buffer->sbumpc();
        } catch (...) {
            buffer = nullptr;
        }
    }
    if (c == '\n') ++line_number;
    return c;
}

int text_cursor_t::peek() {
    if (pushed_at < pushed.size()) return static_cast<unsigned char>(pushed[pushed_at]);
    try {
        return buffer ? buffer->sgetc() : EOF;
    } catch (...) {
        buffer = nullptr;
        return EOF;
    }
}

bool text_cursor_t::read_line(std::string& line) {
    line.clear();
    int c = get();
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
        line.push_back(static_cast<char>(c));
        c = get();
    }
    return true;
}

void text_cursor_t::skip_rest_of_line() {
    int c;
    do c = get();
    while (c != EOF && c != '\n');
}

void text_cursor_t::skip_space() {
    while (is_space(peek())) get();
}

text_cursor_t::number_t text_cursor_t::read_int(int& value) {
    skip_space();
    int c = peek();
    if (c == EOF) return number_t::end_of_input;
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        get();
        c = peek();
    }
    if (c < '0' || c > '9') return number_t::not_a_number;
    // Accumulate as a negative number so that INT_MIN itself is representable.
    long long magnitude = 0;
    bool overflow = false;
    while (c >= '0' && c <= '9') {
        get();
        if (!overflow) {
            magnitude = magnitude * 10 + (c - '0');
            if (magnitude > static_cast<long long>(INT_MAX) + 1) overflow = true;
        }
        c = peek();
    }
    if (overflow || (!negative && magnitude > INT_MAX)) return number_t::too_large;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return number_t::ok;
}

std::string text_cursor_t::take_word() {
    std::string word;
    while (peek() != EOF && !is_space(peek())) {
        int c = get();
        if (word.size() < 24) word.push_back(static_cast<char>(c));
    }
    return word;
}

void text_cursor_t::unread(const std::string& text) {
    for (char c : text)
        if (c == '\n') --line_number;
    pushed = text + pushed.substr(pushed_at);
    pushed_at = 0;
}

bool skip_nested_comment(text_cursor_t& in, std::string* copy) {
    long depth = 1;
    int previous = 0;  // the last character, or 0 once it closed a "/*" or "*/"
    while (depth > 0) {
        const int c = in.get();
        if (c == EOF) return false;
        if (copy) copy->push_back(static_cast<char>(c));
        int last = c;
        if (previous == '/' && c == '*') {
            ++depth;
            last = 0;
        } else if (previous == '*' && c == '/') {
            --depth;
            last = 0;
        }
        previous = last;
    }
    return true;
}
