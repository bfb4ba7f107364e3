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
std::ostream* yyerr = &std::cerr;
const char* yylval = "";
void (*scanner_name_ahead)(std::string_view name, bool defines) = nullptr;

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
    // The look-ahead cursor: a token boundary at or after position in the
    // buffer, with names_ahead process names between the two.
    std::size_t ahead = 0;
    int names_ahead = 0;
};

scanner_state_t scanner;

void fail_reading(int error) {
    *yyerr << "error reading specification: " << std::strerror(error) << "\n";
    scanner.failed = true;
    scanner_fatal(2);
}

// Refills the buffer with the next block (or line); false at the end of input.
bool refill() {
    if (scanner.at_eof || scanner.failed) return false;
    scanner.position = 0;
    scanner.end = 0;
    scanner.ahead = 0;
    scanner.names_ahead = 0;
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
    *yyerr << "undefined character '";
    yyerr->put(c);
    *yyerr << "'\n";
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

// How many process names the look-ahead cursor keeps in front of the scanner.
constexpr int names_kept_ahead = 8;

// Moves the look-ahead cursor on until it is names_kept_ahead process names
// in front, or at the end of the buffer, passing each process name it crosses
// to the hook. It splits the bytes into tokens as yylex does; a name that runs
// into the end of the buffer is left for yylex.
void look_ahead() {
    if (!scanner_name_ahead) return;
    if (scanner.ahead < scanner.position) {
        scanner.ahead = scanner.position;
        scanner.names_ahead = 0;
    }
    const char* bytes = scanner.buffer.data();
    while (scanner.names_ahead < names_kept_ahead && scanner.ahead < scanner.end) {
        const char_class_t kind = char_classes.of[static_cast<unsigned char>(bytes[scanner.ahead])];
        if (kind != class_upper && kind != class_lower) {
            ++scanner.ahead;
            continue;
        }
        std::size_t stop = scanner.ahead + 1;
        while (stop < scanner.end && char_classes.continues_name(static_cast<unsigned char>(bytes[stop]))) ++stop;
        if (stop == scanner.end) return;
        if (kind == class_upper) {
            // Without branches, which the varying bytes after names would
            // mispredict; stop lies before the end, stop + 1 need not.
            const char after = bytes[stop];
            const char second = stop + 1 < scanner.end ? bytes[stop + 1] : '\0';
            const bool defines = (after == '=') | ((after == ' ') & (second == '='));
            scanner_name_ahead(std::string_view(bytes + scanner.ahead, stop - scanner.ahead), defines);
            ++scanner.names_ahead;
        }
        scanner.ahead = stop;
    }
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
            if (!scan_name()) return token_end;
            // This name was counted when the cursor passed it.
            if (scanner.names_ahead > 0 && scanner.ahead >= scanner.position) --scanner.names_ahead;
            look_ahead();
            return token_process_name;
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
