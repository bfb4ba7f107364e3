// A streaming view of an automaton file that counts lines, so that readers can
// say "line N" in their errors. It reads straight from the stream buffer one
// character at a time: a block of 2^30 successors is consumed without ever
// holding more than one line (or one number) in memory.
#pragma once

#include <istream>
#include <string>

#include "support/message_text.hpp"

class text_cursor_t;

// Reads the rest of a comment "/* ... */" whose opening "/*" was just read,
// up to its matching "*/": comments nest, and the depth is a counter, not
// recursion. Every character read is appended to *copy when given. False
// when the input ends first.
bool skip_nested_comment(text_cursor_t& in, std::string* copy = nullptr);

class text_cursor_t {
public:
    explicit text_cursor_t(std::istream& in) : buffer(in.rdbuf()) {}

    // The next character (as unsigned char) or EOF, consumed.
    int get();
    // The next character or EOF, not consumed.
    int peek();

    // One line without its '\n', as std::getline gives it: false when the
    // input is exhausted before any character (a last line without a
    // newline still counts as a line).
    bool read_line(std::string& line);
    // Drops everything up to and including the next '\n'.
    void skip_rest_of_line();
    // Skips white space as formatted stream input does (' ', \t, \n, \v, \f, \r).
    void skip_space();

    enum class number_t { ok, end_of_input, not_a_number, too_large };
    // Reads a decimal int the way `stream >> int` does: white space skipped,
    // an optional sign, then at least one digit; the digits end at the first
    // non-digit, which stays unread.
    number_t read_int(int& value);
    // The run of non-blank characters at the cursor (at most 24 of them, for
    // messages), consumed.
    std::string take_word();

    // 1-based number of the line that the next character belongs to.
    int line() const { return line_number; }

    // Puts text back in front of the input; line() goes back by the number of
    // '\n' in it. Used to look at the first word of a file and then hand the
    // file untouched to the reader that the word selects.
    void unread(const std::string& text);

    static bool is_space(int c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    }

private:
    std::streambuf* buffer;
    std::string pushed;      // characters put back by unread(), read first
    std::size_t pushed_at = 0;
    int line_number = 1;
};
