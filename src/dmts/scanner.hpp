// The scanner of the specification language: turns the bytes of `yyin` (or
// standard input) into the tokens of grammar.hpp, reading in blocks from files
// and a line at a time from a terminal, so memory never depends on input size.
#pragma once

#include <string_view>

// Returns the next token (a token_t code); token_end at and after the end of
// the input.
int yylex();

// Text of the last name token, NUL-terminated; valid until the next yylex call.
extern const char* yylval;

// True once the scanner met an undefined character or a read failure and its
// fatal handler returned (a handler should not); yylex then reports only the
// end of input, and the parser stops instead of accepting the truncated text.
bool scanner_failed();

// When set, called with each process name that lies a few names ahead of the
// scanner, in bytes that were read already, so that the parser can start
// loading what it will look the name up in. `defines` hints that the name
// opens a definition: an equals sign follows it directly ("P =" or "P=").
// Never makes the scanner read, and never reports anything: undefined
// characters are met by yylex in turn.
extern void (*scanner_name_ahead)(std::string_view name, bool defines);
