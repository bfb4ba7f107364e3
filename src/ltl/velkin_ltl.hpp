// The command line of velkin-ltl as a function, so that tests can run the
// whole tool in process: parse the options, read the formula, translate it,
// write the automaton. Returns the exit status (0, or 1 for any failure,
// reported as one line on err).
#pragma once

#include <iosfwd>

int velkin_ltl_main(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);
