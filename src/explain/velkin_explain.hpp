// velkin-explain: why velkin answers NO. Solves like velkin -s and, on a
// negative answer, finds a minimal set of must hypertransitions that keeps
// it negative (the core) and the environment's winning strategy in the game
// of the specification weakened to that core, checks the strategy with the
// independent check of velkin-check -e and prints both.
#pragma once

#include <iosfwd>

// The whole tool. Returns the exit status: 0 YES, 1 NO, 2 unusable input or
// command line, 4 out of memory (3, output not written, is the caller's).
int velkin_explain_main(int argc, char** argv, std::ostream& out, std::ostream& err);
