// The scanner of the specification language: turns the bytes of `yyin` (or
// standard input) into the tokens of grammar.hpp, reading in blocks from files
// and a line at a time from a terminal, so memory never depends on input size.
#pragma once

// Returns the next token (a token_t code); token_end at and after the end of
// the input.
int yylex();

// Text of the last name token, NUL-terminated; valid until the next yylex call.
extern const char* yylval;

// True once the scanner met an undefined character or a read failure and its
// fatal handler returned (a handler should not); yylex then reports only the
// end of input, and the parser stops instead of accepting the truncated text.
bool scanner_failed();
