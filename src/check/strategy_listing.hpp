// The environment's strategy as velkin-explain prints it and velkin-check -e
// reads it back: the must hypertransitions kept (the core), then one line per
// strategy state, or, when the strategy leaves the implementation no choice,
// the single run it forces as a lasso. Everything is held by name, so the
// reader can match it against its own parse of the specification.
//
//   Obligations that force it ...:
//     Chan: {deliver.Recv | lose.Sender}
//   Winning strategy of the environment ...:
//     S0 = Sender @0: send.Chan -> S1
//     S1 = Chan @1: {deliver.Recv | lose.Sender} -> S2 | S0
//   Failing run ...:
//     run: Sender@0 --send--> Chan@1, then for ever Chan@1 --lose--> Sender@0 --send--> Chan@1
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct listed_transition_t {
    std::string action;
    std::string target;  // a process name, "0" for nil, "$N" for an inline process
};

// A must hypertransition of a process, as the specification language writes it.
struct listed_hyper_t {
    std::string process;
    std::vector<listed_transition_t> alternatives;
};

// One strategy state: the environment at process and automaton state insists
// on the hypertransition; alternative j leads to state next[j].
struct listed_state_t {
    listed_hyper_t move;
    int ra_state = 0;
    std::vector<int> next;
};

struct strategy_listing_t {
    bool has_core = false;
    std::vector<listed_hyper_t> core;
    // State 0 is the initial one.
    std::vector<listed_state_t> states;
};

extern const char core_heading[];
extern const char strategy_heading[];
extern const char run_heading[];

// "a.P" for one alternative, "{a.P | b.Q}" for several.
std::string hyper_text(const std::vector<listed_transition_t>& alternatives);

// Writes the core section (when has_core) and the states, one line each.
void write_core(std::ostream& out, const strategy_listing_t& listing);
void write_states(std::ostream& out, const strategy_listing_t& listing);

// Whether every state insists on a single alternative, so that the strategy
// forces one run; then write_run prints it as prefix and cycle.
bool forces_one_run(const strategy_listing_t& listing);
void write_run(std::ostream& out, const strategy_listing_t& listing);

// Reads the output of velkin-explain (or the strategy lines alone, or the
// run line alone). Lines it does not recognise, such as the verdict, are
// skipped. Returns false with error set when no strategy is found or a
// strategy line is malformed.
bool read_strategy_listing(const std::string& text, strategy_listing_t& listing, std::string& error);
