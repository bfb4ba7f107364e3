// Hand-built solved products for the extraction, output and minimisation
// tests: states, edges, winning region and ranks are given directly, so the
// tests do not depend on the product construction or the solver.
#pragma once

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dmts/dmts.hpp"
#include "product/product.hpp"

class hand_product_t {
public:
    hand_product_t(const std::string& process_name, const std::vector<std::string>& actions)
        : model(std::make_unique<dmts_t>()) {
        const int index = model->get_process(process_name.c_str());
        for (const std::string& a : actions) model->get_action(a.c_str());
        product = std::make_unique<ra_product_t>(nullptr, model.get(), index);
        product->action_count = model->action_count;
    }

    // Adds a state node (choice -1) or a choice node and returns its number.
    int add_state(int choice = -1) {
        product->states.push_back({0, product->process, choice});
        edge_list.emplace_back();
        return product->state_count++;
    }
    void add_states(int count) {
        for (int i = 0; i < count; ++i) add_state();
    }
    void add_edge(int from, int action, int to) { edge_list[from].push_back({action, to}); }
    void set_winning(int s, uint32_t rank) {
        winning.push_back(s);
        ranks.emplace_back(s, rank);
    }
    void set_best_rank(int choice_node, uint32_t rank) { best.emplace_back(choice_node, rank); }
    int action(const std::string& name) const { return model->action_index.at(name); }

    // Lays the edges out in rows and installs win, rank and best_rank.
    ra_product_t& finish() {
        ra_product_t& p = *product;
        p.edge_begin.assign(1, 0);
        for (const auto& row : edge_list) {
            p.edges.insert(p.edges.end(), row.begin(), row.end());
            p.edge_begin.push_back(static_cast<uint32_t>(p.edges.size()));
        }
        p.win = std::make_unique<bitset_t>(static_cast<uint32_t>(p.state_count), BS_EMPTY);
        p.rank.assign(static_cast<size_t>(p.state_count), 0xdeadbeefu);
        p.best_rank.assign(static_cast<size_t>(p.state_count), 0xdeadbeefu);
        for (int s : winning) p.win->set(static_cast<uint32_t>(s));
        for (const auto& [s, r] : ranks) p.rank[s] = r;
        for (const auto& [s, r] : best) p.best_rank[s] = r;
        return p;
    }

    std::unique_ptr<dmts_t> model;
    std::unique_ptr<ra_product_t> product;

private:
    std::vector<std::vector<product_edge_t>> edge_list;
    std::vector<int> winning;
    std::vector<std::pair<int, uint32_t>> ranks, best;
};

struct printed_t {
    std::string out, err;
};

inline printed_t print_impl(ra_product_t& p, bool dot) {
    std::ostringstream out, err;
    p.output_impl(dot, out, err);
    return {out.str(), err.str()};
}

// Text form of a list of transitions, as the text writer joins them: one line
// per source, transitions joined by " + ". Written independently of out_trans.
inline std::string listing(const std::vector<impl_transition_t>& ts, const std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < ts.size(); ++i) {
        const bool same = i > 0 && ts[i - 1].source == ts[i].source;
        if (same) text += " + ";
        else text += (i > 0 ? "\n" : "") + ("I" + std::to_string(ts[i].source) + " = ");
        text += names[ts[i].action] + ".I" + std::to_string(ts[i].target);
    }
    return text + "\n";
}

inline const char* const yes_line_p =
    "The answer is YES, there is an implementation of P that satisfies the condition given by the Rabin automaton.\n";
inline const char* const no_line_p =
    "The answer is NO, no implementation of P satisfies the condition given by the Rabin automaton.\n";
