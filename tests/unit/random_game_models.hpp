// Random inputs for the product and solver tests: a DMTS of a few processes
// with must hypertransitions of one to three alternatives, and a Rabin
// automaton over some of its action names (plus one that names no action),
// optionally with missing transitions.
#pragma once

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "product_test_support.hpp"

namespace product_test {

struct random_case_t {
    std::unique_ptr<dmts_t> model;
    rabin_t automaton;
    int process = 0;
};

struct random_shape_t {
    int max_processes = 6;
    int max_automaton_states = 4;
    int max_pairs = 3;
    double missing = 0.0;  // chance of each automaton entry being missing
};

inline random_case_t random_case(std::mt19937& rng, const random_shape_t& shape) {
    auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    auto chance = [&rng](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    static const char* const names[] = {"a", "b", "c", "d", "z"};

    random_case_t c;
    c.model = std::make_unique<dmts_t>();
    dmts_t& model = *c.model;
    const int actions = pick(1, 4);
    for (int i = 0; i < actions; ++i) model.get_action(names[i]);
    const int processes = pick(1, shape.max_processes);
    std::vector<int> index;
    for (int i = 0; i < processes; ++i) index.push_back(defined_process(model, ("P" + std::to_string(i)).c_str()));
    for (int p : index) {
        const int musts = pick(0, 3);
        for (int m = 0; m < musts; ++m) {
            std::vector<std::pair<std::string, int>> alternatives;
            const int width = chance(0.5) ? 1 : pick(2, 3);
            for (int w = 0; w < width; ++w) {
                int target = chance(0.1) ? 0 : index[static_cast<std::size_t>(pick(0, processes - 1))];
                alternatives.emplace_back(names[pick(0, actions - 1)], target);
            }
            add_must(model, p, alternatives);
        }
    }

    const int states = pick(1, shape.max_automaton_states);
    std::vector<std::string> ap;
    const int propositions = pick(0, 3);
    for (int j = 0; j < propositions; ++j) ap.push_back(names[pick(0, 4)]);
    c.automaton = automaton(states, pick(0, shape.max_pairs), ap, pick(0, states - 1));
    for (int& entry : c.automaton.delta) entry = chance(shape.missing) ? -1 : pick(0, states - 1);
    for (int i = 0; i < c.automaton.pair_count; ++i)
        for (uint32_t q = 0; q < static_cast<uint32_t>(states); ++q) {
            if (chance(0.4)) c.automaton.good[static_cast<std::size_t>(i)].set(q);
            if (chance(0.3)) c.automaton.bad[static_cast<std::size_t>(i)].set(q);
        }
    c.process = index[static_cast<std::size_t>(pick(0, processes - 1))];
    return c;
}

}  // namespace product_test
