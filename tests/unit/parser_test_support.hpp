// Helpers for the scanner and parser tests: run the front end over an
// in-memory text with standard error captured, and turn the scanner's fatal
// exit into an exception so a test can observe it and go on.
#pragma once

#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "dmts/dmts.hpp"
#include "dmts/parser.hpp"

struct scanner_fatal_error_t {
    int status;
};

inline void throw_scanner_fatal(int status) { throw scanner_fatal_error_t{status}; }

// Captures the front end's diagnostics and installs the throwing fatal
// handler while alive.
class front_end_sandbox_t {
public:
    front_end_sandbox_t() : saved_yyerr_(yyerr), saved_fatal_(scanner_fatal) {
        yyerr = &captured_;
        scanner_fatal = throw_scanner_fatal;
    }
    ~front_end_sandbox_t() {
        yyerr = saved_yyerr_;
        scanner_fatal = saved_fatal_;
    }
    front_end_sandbox_t(const front_end_sandbox_t&) = delete;
    front_end_sandbox_t& operator=(const front_end_sandbox_t&) = delete;
    std::string errors() const { return captured_.str(); }

private:
    std::ostringstream captured_;
    std::ostream* saved_yyerr_;
    void (*saved_fatal_)(int);
};

// A temporary file holding `text` (any bytes), positioned at its start.
inline FILE* file_with(const std::string& text) {
    FILE* file = std::tmpfile();
    if (file) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::rewind(file);
    }
    return file;
}

struct parse_outcome_t {
    int result = -1;        // yyparse's result; -1 when the scanner ended the run
    int fatal_status = 0;   // the scanner's exit status, when it ended the run
    std::string errors;     // the front end's diagnostics
    std::unique_ptr<dmts_t> model;
};

// Parses `text` into a fresh model, as the driver does.
inline parse_outcome_t parse_text(const std::string& text) {
    parse_outcome_t outcome;
    outcome.model = std::make_unique<dmts_t>();
    FILE* file = file_with(text);
    if (!file) return outcome;
    {
        front_end_sandbox_t sandbox;
        scanner_reset();
        yyin = file;
        dmts = outcome.model.get();
        try {
            outcome.result = yyparse();
        } catch (const scanner_fatal_error_t& fatal) {
            outcome.fatal_status = fatal.status;
        }
        outcome.errors = sandbox.errors();
    }
    dmts = nullptr;
    yyin = nullptr;
    scanner_reset();
    std::fclose(file);
    return outcome;
}
