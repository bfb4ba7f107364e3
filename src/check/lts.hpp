// A labelled transition system read back from an implementation listing: the
// states reachable from the initial one, numbered breadth-first from 0, with
// their transitions kept in one flat array sorted by (source, action, target).
// Actions are indices into the system's own name table; other models are
// matched against it by name, never by index.
#pragma once

#include <string>
#include <vector>

struct dmts_t;

struct lts_edge_t {
    int action;
    int target;
};

struct lts_t {
    std::vector<std::string> state_names;
    std::vector<std::string> action_names;
    // Edges of state s are edges[first_edge[s] .. first_edge[s + 1]).
    std::vector<int> first_edge;
    std::vector<lts_edge_t> edges;

    int state_count() const { return static_cast<int>(state_names.size()); }
    int edge_begin(int state) const { return first_edge[state]; }
    int edge_end(int state) const { return first_edge[state + 1]; }
    bool has_transitions(int state) const { return edge_begin(state) != edge_end(state); }
};

// Builds the system of the processes of model reachable from initial, which
// becomes state 0. Every definition must use must transitions only: each
// hypertransition a single alternative and no may transition beyond them.
// Returns false with error set when a reachable process breaks that rule.
bool lts_from_model(const dmts_t& model, int initial, lts_t& lts, std::string& error);

// A system of one state without transitions, named name.
lts_t empty_lts(const std::string& name);

// The source's edges as "I0 --a--> I2" for messages.
std::string edge_text(const lts_t& lts, int source, const lts_edge_t& edge);
