// The checker as a whole: the command line of velkin-check and the one
// function that runs every requested check on loaded inputs, so that the
// tool and in-process callers (the property tests) decide identically.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "check/check_result.hpp"
#include "check/lts.hpp"

struct dmts_t;
struct rabin_t;

struct check_request_t {
    const dmts_t* spec = nullptr;
    int process = 0;
    const lts_t* impl = nullptr;
    const rabin_t* automaton = nullptr;  // null: no run check
    bool deadlock_free = false;
};

// Runs refinement, then deadlock freedom (when asked), then the run check
// (when an automaton is given). The result holds when all hold; otherwise
// its lines are the counterexamples of every failing check, in that order.
check_result_t run_checks(const check_request_t& request);

// The whole tool: parses argv, loads the inputs, runs the checks, prints
// "holds" or the counterexample to out and diagnostics to err. Returns the
// exit status: 0 holds, 1 does not hold, 2 unusable input, 4 out of memory
// (the tool itself returns 3 when standard output was lost).
int velkin_check_main(int argc, char** argv, std::ostream& out, std::ostream& err);
