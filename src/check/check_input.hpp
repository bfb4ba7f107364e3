// Loading the checker's inputs: a specification and an implementation through
// the product's own parser, the automaton through its own reader. Parser
// diagnostics are captured and turned into one error line naming the input,
// because the checker reports unusable input as a single line.
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "check/lts.hpp"

struct dmts_t;
struct rabin_t;

// The program named in the one line written before an undefined character
// ends the program (see parse_specification).
extern const char* parser_program_name;

// Parses text into a fresh model. source names the input in messages.
// Returns null with error set after a syntax error or an exhausted parser
// stack; redefinition warnings are returned in warnings. An undefined
// character ends the program with status 2 after one line on standard error
// (the scanner cannot continue past it).
std::unique_ptr<dmts_t> parse_specification(const std::string& text, const std::string& source,
                                            std::string& error, std::vector<std::string>& warnings);

// Reads an implementation: the listing that the product's -s mode prints
// (its verdict line is skipped; a negative verdict or the no-transitions
// sentence stands for one state without transitions) or any specification
// whose definitions use must transitions only. initial names the initial
// state. Returns false with error set for unusable input.
bool read_implementation(const std::string& text, const std::string& source, const std::string& initial,
                         lts_t& lts, std::string& error);

// Reads an automaton and checks what the checker relies on: the start state
// and every successor lie inside the states, one good and one bad set per
// pair. A state that the file gave no block (missing successors) is not an
// error here; the check reports it when a run reaches it.
std::unique_ptr<rabin_t> read_automaton(std::istream& in, std::string& error);
