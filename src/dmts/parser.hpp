// The specification language front end: a hand-written scanner and an LALR(1)
// parser that behaves exactly like a table-driven one with default reductions,
// filling the model that the global `dmts` points to.
#pragma once

#include <cstdio>
#include <iosfwd>

// Scanner input; null means standard input.
extern FILE* yyin;

// Where the scanner and the parser write their diagnostics: syntax errors,
// redefinition warnings, undefined characters and read failures. Standard
// error unless the caller points it elsewhere.
extern std::ostream* yyerr;

// Parses the whole input into *dmts. Returns 0 for a valid specification, 1
// after a syntax error, 2 when the parser stack is exhausted.
int yyparse();

// Forgets any buffered input so that a new yyin can be scanned from its start.
void scanner_reset();

// Called by the scanner for an undefined character (status 1) or a failed read
// (status 2) after its one-line message; the default flushes standard output
// and ends the program with that status. Embedders that must not exit (a
// fuzzer, a second command) install their own handler, which must not return.
extern void (*scanner_fatal)(int status);
