// Helpers for the checker's unit tests: models and systems from text, and
// automata written in the automaton file format.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "check/check_input.hpp"
#include "check/satisfaction.hpp"
#include "dmts/dmts.hpp"
#include "rabin/rabin.hpp"

inline std::unique_ptr<dmts_t> spec_from(const std::string& text) {
    std::string error;
    std::vector<std::string> warnings;
    std::unique_ptr<dmts_t> model = parse_specification(text, "SPEC", error, warnings);
    EXPECT_TRUE(model) << error;
    return model;
}

inline int process_of(const dmts_t& model, const std::string& name) {
    const int index = model.process_index.find(name);
    EXPECT_GE(index, 0) << name;
    return index < 0 ? 0 : index;
}

inline lts_t impl_from(const std::string& text, const std::string& initial = "I0") {
    lts_t lts;
    std::string error;
    EXPECT_TRUE(read_implementation(text, "IMPL", initial, lts, error)) << error;
    return lts;
}

inline std::unique_ptr<rabin_t> automaton_from(const std::string& text) {
    std::istringstream in(text);
    std::string error;
    std::unique_ptr<rabin_t> automaton = read_automaton(in, error);
    EXPECT_TRUE(automaton) << error;
    return automaton;
}

// Replays a lasso independently of the checker: follows the prefix, then the
// cycle until the (state, automaton state) at the cycle's start repeats, and
// decides the Rabin condition on the automaton states of that period.
inline bool lasso_is_rejected(const lts_t& impl, const rabin_t& ra, const lasso_t& lasso) {
    const std::vector<int> letters = action_letters(impl, ra);
    int s = 0, q = ra.start;
    auto step = [&](int e) {
        EXPECT_GE(e, impl.edge_begin(s));
        EXPECT_LT(e, impl.edge_end(s));
        q = ra.successor(q, letters[impl.edges[e].action]);
        s = impl.edges[e].target;
    };
    for (int e : lasso.prefix) step(e);
    EXPECT_FALSE(lasso.cycle.empty());
    std::set<std::pair<int, int>> starts;
    std::set<int> seen;
    while (starts.insert({s, q}).second) {
        for (int e : lasso.cycle) {
            step(e);
            seen.insert(q);
        }
    }
    // The starts repeat with a period; states seen in the first rounds before
    // the period could be transient, so collect once more over one period.
    const std::pair<int, int> anchor{s, q};
    seen.clear();
    do {
        for (int e : lasso.cycle) {
            step(e);
            seen.insert(q);
        }
    } while (std::make_pair(s, q) != anchor);
    for (int i = 0; i < ra.pair_count; ++i) {
        bool good = false, bad = false;
        for (int state : seen) {
            good |= ra.good[i].test(state);
            bad |= ra.bad[i].test(state);
        }
        if (good && !bad) return false;
    }
    return true;
}
