#include "check/check_input.hpp"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "dmts/dmts.hpp"
#include "dmts/parser.hpp"
#include "rabin/rabin.hpp"
#include "support/message_text.hpp"

namespace {

// State of the parse in progress, for the scanner's fatal handler, which
// cannot return into the parser and so reports from here.
std::ostringstream* captured = nullptr;
std::ostream* saved_yyerr = nullptr;
std::string current_source;

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

[[noreturn]] void report_scanner_failure(int) {
    yyerr = saved_yyerr;
    std::string message = captured ? captured->str() : std::string();
    while (!message.empty() && message.back() == '\n') message.pop_back();
    std::cerr << parser_program_name << ": " << current_source << ": " << printable_bytes(message) << std::endl;
    std::cout.flush();
    std::exit(2);
}

bool starts_with(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

}  // namespace

const char* parser_program_name = "velkin-check";

std::unique_ptr<dmts_t> parse_specification(const std::string& text, const std::string& source,
                                            std::string& error, std::vector<std::string>& warnings) {
    auto model = std::make_unique<dmts_t>();
    // fmemopen refuses an empty buffer; a blank scans the same as nothing.
    std::string buffer = text.empty() ? std::string(" ") : text;
    FILE* in = fmemopen(&buffer[0], buffer.size(), "r");
    if (!in) {
        error = source + ": cannot read the text";
        return nullptr;
    }
    dmts_t* previous_model = dmts;
    void (*previous_fatal)(int) = scanner_fatal;
    std::ostringstream diagnostics;
    captured = &diagnostics;
    current_source = source;
    saved_yyerr = yyerr;
    yyerr = &diagnostics;
    scanner_fatal = report_scanner_failure;
    scanner_reset();
    yyin = in;
    dmts = model.get();
    const int status = yyparse();
    dmts = previous_model;
    yyin = nullptr;
    scanner_reset();
    std::fclose(in);
    scanner_fatal = previous_fatal;
    yyerr = saved_yyerr;
    captured = nullptr;

    std::string first_error;
    for (const std::string& line : split_lines(diagnostics.str())) {
        if (starts_with(line, "Warning: ")) warnings.push_back(source + ": " + printable_bytes(line));
        else if (first_error.empty()) first_error = line;
    }
    if (status != 0) {
        error = source + ": " + printable_bytes(first_error.empty() ? "cannot be parsed" : first_error);
        return nullptr;
    }
    return model;
}

bool read_implementation(const std::string& text, const std::string& source, const std::string& initial,
                         lts_t& lts, std::string& error) {
    static const char verdict[] = "The answer is ";
    static const char negative[] = "The answer is NO";
    static const char no_transitions[] = "There exists an implementation with no transitions.";
    std::string body = text;
    if (starts_with(body, verdict)) {
        if (starts_with(body, negative)) {
            lts = empty_lts(initial);
            return true;
        }
        const size_t end = body.find('\n');
        body = end == std::string::npos ? std::string() : body.substr(end + 1);
        if (starts_with(body, no_transitions)) {
            lts = empty_lts(initial);
            return true;
        }
    }
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> model = parse_specification(body, source, error, warnings);
    if (!model) return false;
    if (!warnings.empty()) {
        // Two definitions of one state: the listing is not an implementation.
        error = warnings.front();
        return false;
    }
    const int initial_process = model->process_index.find(initial);
    if (initial_process < 0) {
        if (model->process_count > 1) {
            error = source + ": the initial state " + initial + " does not occur";
            return false;
        }
        lts = empty_lts(initial);  // nothing defined at all: one state, no transitions
        return true;
    }
    if (!lts_from_model(*model, initial_process, lts, error)) {
        error = source + ": " + error;
        return false;
    }
    return true;
}

std::unique_ptr<rabin_t> read_automaton(std::istream& in, std::string& error) {
    std::string reader_error;
    std::unique_ptr<rabin_t> automaton = read_rabin_automaton(in, reader_error);
    if (!automaton) {
        error = "error reading Rabin automaton" + (reader_error.empty() ? std::string() : ": " + reader_error);
        return nullptr;
    }
    const rabin_t& ra = *automaton;
    if (ra.state_count <= 0 || ra.start < 0 || ra.start >= ra.state_count) {
        error = "the start state " + std::to_string(ra.start) + " is not a state of the automaton";
        return nullptr;
    }
    if (ra.pair_count < 0 || ra.good.size() != static_cast<size_t>(ra.pair_count) ||
        ra.bad.size() != static_cast<size_t>(ra.pair_count)) {
        error = "the automaton's acceptance pairs are inconsistent";
        return nullptr;
    }
    for (int i = 0; i < ra.pair_count; ++i) {
        if (ra.good[i].capacity() != static_cast<uint32_t>(ra.state_count) ||
            ra.bad[i].capacity() != static_cast<uint32_t>(ra.state_count)) {
            error = "the automaton's acceptance sets do not match its states";
            return nullptr;
        }
    }
    if (ra.delta.size() != static_cast<size_t>(ra.state_count) * static_cast<size_t>(ra.letter_count())) {
        error = "the automaton's transition table does not match its states";
        return nullptr;
    }
    for (int q = 0; q < ra.state_count; ++q) {
        for (int letter = -1; letter < static_cast<int>(ra.ap.size()); ++letter) {
            const int next = ra.successor(q, letter);
            if (next >= ra.state_count) {
                error = "state " + std::to_string(q) + " has the successor " + std::to_string(next) +
                        ", which is not a state";
                return nullptr;
            }
        }
    }
    return automaton;
}
