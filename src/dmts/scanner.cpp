#include "dmts/scanner.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "dmts/grammar.hpp"
#include "dmts/parser.hpp"

FILE* yyin = nullptr;
const char* yylval = "";

namespace {

void exit_after_flush(int status) {
    std::cout.flush();
    std::exit(status);
}

}  // namespace

void (*scanner_fatal)(int status) = exit_after_flush;

namespace {

// Files are read in blocks of this size into a buffer that is reused, so a
// huge specification never sits in memory whole.
constexpr std::size_t block_size = 64 * 1024;

enum char_class_t : unsigned char { class_undefined, class_skip, class_upper, class_lower, class_digit_other, class_single };

struct char_classes_t {
    char_class_t of[256];
    int single_token[256];
    char_classes_t() {
        for (int c = 0; c < 256; ++c) {
            of[c] = class_undefined;
            single_token[c] = -1;
        }
        for (int c : {' ', '\t', '\n', '.'}) of[c] = class_skip;
        for (int c = 'A'; c <= 'Z'; ++c) of[c] = class_upper;
        for (int c = 'a'; c <= 'z'; ++c) of[c] = class_lower;
        // Digits 1-9 and the underscore continue names but start no token.
        for (int c = '1'; c <= '9'; ++c) of[c] = class_digit_other;
        of[static_cast<unsigned char>('_')] = class_digit_other;
        const std::pair<char, int> singles[] = {
            {'0', token_nil},       {'=', token_equals},   {'(', token_open_paren},
            {')', token_close_paren}, {'+', token_plus},   {'?', token_question},
            {'{', token_open_brace}, {'}', token_close_brace}, {'|', token_bar},
        };
        for (const auto& [c, token] : singles) {
            of[static_cast<unsigned char>(c)] = class_single;
            single_token[static_cast<unsigned char>(c)] = token;
        }
    }
    bool continues_name(unsigned char c) const {
        return of[c] == class_upper || of[c] == class_lower || of[c] == class_digit_other || c == '0';
    }
};

const char_classes_t char_classes;

struct scanner_state_t {
    FILE* input = nullptr;      // the stream being scanned, once the first read chose it
    bool interactive = false;   // a terminal: read one line at a time
    bool at_eof = false;
    bool failed = false;        // a fatal handler returned; report end of input from now on
    std::vector<char> buffer;
    std::size_t position = 0;
    std::size_t end = 0;
    std::string text;           // the last name token
};

scanner_state_t scanner;

void fail_reading(int error) {
    std::cerr << "error reading specification: " << std::strerror(error) << "\n";
    scanner.failed = true;
    scanner_fatal(2);
}

// Refills the buffer with the next block (or line); false at the end of input.
bool refill() {
    if (scanner.at_eof || scanner.failed) return false;
    scanner.position = 0;
    scanner.end = 0;
    FILE* in = scanner.input;
    if (scanner.interactive) {
        // Stop at a newline so that what was typed is scanned before the
        // next line is waited for.
        int c = 0;
        while (scanner.end < block_size && (c = std::getc(in)) != EOF) {
            scanner.buffer[scanner.end++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        if (c == EOF && std::ferror(in)) {
            fail_reading(errno);
            return false;
        }
    } else {
        scanner.end = std::fread(scanner.buffer.data(), 1, block_size, in);
        if (scanner.end < block_size && std::ferror(in)) {
            int error = errno;
            scanner.end = 0;
            fail_reading(error);
            return false;
        }
    }
    if (scanner.end == 0) {
        scanner.at_eof = true;
        return false;
    }
    return true;
}

bool start_input() {
    FILE* in = yyin ? yyin : stdin;
    if (scanner.input == in) return true;
    scanner_reset();
    try {
        scanner.buffer.resize(block_size);
    } catch (const std::bad_alloc&) {
        fail_reading(ENOMEM);
        return false;
    }
    scanner.input = in;
    int descriptor = fileno(in);
    scanner.interactive = descriptor >= 0 && isatty(descriptor);
    return true;
}

void report_undefined(char c) {
    std::cerr << "undefined character '";
    std::cerr.put(c);
    std::cerr << "'\n";
    scanner.failed = true;
    scanner_fatal(1);
}

// Scans a name whose first character is at the current position. A name may
// run across any number of buffer refills; it is appended chunk by chunk.
bool scan_name() {
    scanner.text.clear();
    try {
        for (;;) {
            const std::size_t start = scanner.position;
            while (scanner.position < scanner.end &&
                   char_classes.continues_name(static_cast<unsigned char>(scanner.buffer[scanner.position]))) {
                ++scanner.position;
            }
            scanner.text.append(scanner.buffer.data() + start, scanner.position - start);
            if (scanner.position < scanner.end || !refill()) break;
        }
    } catch (const std::bad_alloc&) {
        fail_reading(ENOMEM);
        return false;
    }
    if (scanner.failed) return false;
    yylval = scanner.text.c_str();
    return true;
}

}  // namespace

bool scanner_failed() { return scanner.failed; }

void scanner_reset() {
    scanner = scanner_state_t{};
    yylval = "";
}

int yylex() {
    if (scanner.failed || !start_input()) return token_end;
    for (;;) {
        if (scanner.position == scanner.end && !refill()) return token_end;
        const char c = scanner.buffer[scanner.position];
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (char_classes.of[byte]) {
        case class_skip:
            ++scanner.position;
            continue;
        case class_upper:
            return scan_name() ? token_process_name : token_end;
        case class_lower:
            return scan_name() ? token_action_name : token_end;
        case class_single:
            ++scanner.position;
            return char_classes.single_token[byte];
        case class_digit_other:
        case class_undefined:
            ++scanner.position;
            report_undefined(c);
            return token_end;
        }
    }
}
