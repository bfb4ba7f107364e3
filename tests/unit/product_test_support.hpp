// Builders for the product and solver tests: DMTS processes and Rabin
// automata made directly in memory, a product over them built the way the
// driver builds it, and capture of what an operation writes to a stream.
#pragma once

#include <algorithm>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "dmts/dmts.hpp"
#include "product/product.hpp"
#include "rabin/rabin.hpp"

namespace product_test {

// An automaton with the given states and propositions, every transition
// missing (-1) and every acceptance set empty.
inline rabin_t automaton(int states, int pairs, std::vector<std::string> ap, int start = 0) {
    rabin_t a;
    a.state_count = states;
    a.start = start;
    a.pair_count = pairs;
    a.ap = std::move(ap);
    a.delta.assign(static_cast<std::size_t>(states * a.letter_count()), -1);
    a.good.assign(static_cast<std::size_t>(pairs), bitset_t(static_cast<uint32_t>(states), BS_EMPTY));
    a.bad.assign(static_cast<std::size_t>(pairs), bitset_t(static_cast<uint32_t>(states), BS_EMPTY));
    return a;
}

inline void set_successor(rabin_t& a, int state, int letter, int target) {
    a.delta[static_cast<std::size_t>(state * a.letter_count() + letter + 1)] = target;
}

// Every letter of every state leads to target.
inline void fill_successors(rabin_t& a, int target) {
    for (int& entry : a.delta) entry = target;
}

// Adds the hypertransition {(action_i, target_i)} to process p of model.
inline void add_must(dmts_t& model, int p, const std::vector<std::pair<std::string, int>>& alternatives) {
    hypertransition_t h;
    for (const auto& [action, target] : alternatives) {
        transition_t t{model.get_action(action.c_str()), target};
        h.push_back(t);
        model.processes[static_cast<std::size_t>(p)]->may.insert(t);
    }
    std::sort(h.begin(), h.end());
    h.erase(std::unique(h.begin(), h.end()), h.end());
    model.processes[static_cast<std::size_t>(p)]->must.insert(h);
}

inline int defined_process(dmts_t& model, const char* name) {
    int p = model.get_process(name);
    model.processes[static_cast<std::size_t>(p)]->defined = true;
    return p;
}

// The product of process p with a, made as the driver makes it. The
// construction's diagnostics land in *errors when given.
inline std::unique_ptr<ra_product_t> build(rabin_t& a, dmts_t& model, int p, std::string* errors = nullptr) {
    auto product = std::make_unique<ra_product_t>(&a, &model, p);
    std::ostringstream diagnostics;
    product->init_actions();
    product->make_product(diagnostics);
    product->set_gb();
    if (errors) *errors = diagnostics.str();
    return product;
}

// The edges of the product as "source -action-> target" lines, action -1 as T.
inline std::string edge_list(const ra_product_t& product) {
    std::string out;
    for (int s = 0; s < product.state_count; ++s)
        for (uint32_t e = product.edge_begin[static_cast<std::size_t>(s)];
             e < product.edge_begin[static_cast<std::size_t>(s) + 1]; ++e) {
            const product_edge_t& edge = product.edges[e];
            out += std::to_string(s) + " -" +
                   (edge.action < 0 ? std::string("T") : product.dmts->action_names[static_cast<std::size_t>(edge.action)]) +
                   "-> " + std::to_string(edge.target) + "\n";
        }
    return out;
}

inline bool same_state(const ra_product_t::product_state_t& s, int q, int p, int k) {
    return s.ra_state == q && s.process == p && s.choice == k;
}

}  // namespace product_test
