// Shared plumbing of the libFuzzer targets: silenced standard streams, a
// scanner_fatal handler that unwinds back into the target instead of ending
// the process, an in-memory scanner input, and a check that aborts with a
// message so that a broken invariant shows up as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Thrown by the installed scanner_fatal handler; carries the exit status the
// scanner asked for (1 undefined character, 2 failed read).
struct scanner_abort_t {
    int status;
};

// Installs the handler and points std::cout and std::cerr at a discarding
// buffer. Idempotent; every target calls it first.
void fuzz_setup();

// Parses text into the global model *dmts (which the caller has set) through
// an in-memory FILE. Returns yyparse's result, or -1 when the scanner gave up
// (undefined character, read error).
int fuzz_parse(const char* text, size_t size);

// Aborts with the message when cond is false.
void fuzz_require(bool cond, const char* what);

// Checks the model invariants that every later stage relies on.
struct dmts_t;
void check_model(const dmts_t& model, bool after_restriction);

// Checks what a reader promises about the automaton it accepted (tables
// sized to the declared counts, successors and the start state in range;
// with complete, every letter has a successor) and renders it both ways.
struct rabin_t;
void check_automaton(rabin_t& automaton, bool complete);
