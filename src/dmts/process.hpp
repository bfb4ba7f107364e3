// One process of the model: its name, its may transitions and its must
// hypertransitions.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "support/flat_set.hpp"
#include "dmts/hypertransition_set.hpp"
#include "support/prefetch.hpp"
#include "dmts/transition.hpp"

class process_table_t;

using transition_set_t = flat_set_t<transition_t>;

struct process_t {
    std::string name;
    transition_set_t may;
    hypertransition_set_t must;
    transition_set_t pending_must;  // parser's working set for an open brace group
    bool defined = false;
    bool deadlocked = false;

    explicit process_t(std::string process_name) : name(std::move(process_name)) {}

    // Starts (or restarts, with a warning) this process's definition.
    void begin_definition();
    // Puts the sets the parser appended to into their sorted form.
    void normalize();

    // Renderings (process_render.cpp).
    void output_dot(const process_table_t* processes, const std::vector<std::string>* action_names,
                    int& point_counter, bool must_only, std::ostream& out) const;
    void output(const process_table_t* processes, const std::vector<std::string>* action_names,
                std::ostream& out) const;
};

// Starts loading the must hypertransitions of p, which lie apart from its record.
inline void prefetch_must(const process_t& p) {
    prefetch(p.must.alternatives_data());
    if (const uint32_t* ends = p.must.ends_data()) prefetch(ends);
}

// Starts loading all the transition sets of p.
inline void prefetch_sets(const process_t& p) {
    prefetch(p.may.begin());
    prefetch_must(p);
}
