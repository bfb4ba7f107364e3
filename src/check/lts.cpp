#include "check/lts.hpp"

#include <algorithm>
#include <deque>

#include "dmts/dmts.hpp"

namespace {

std::string alternative_text(const dmts_t& model, const transition_t& t) {
    return model.action_names[t.action] + "." + model.processes[t.target]->name;
}

}  // namespace

bool lts_from_model(const dmts_t& model, int initial, lts_t& lts, std::string& error) {
    lts = lts_t{};
    lts.action_names = model.action_names;
    const int process_count = static_cast<int>(model.processes.size());
    std::vector<int> number(process_count, -1);
    std::vector<int> process_of;  // state number -> process index
    std::deque<int> queue;
    number[initial] = 0;
    process_of.push_back(initial);
    queue.push_back(initial);
    lts.first_edge.push_back(0);
    // Breadth-first: a state's edges are appended when it leaves the queue,
    // which happens in state-number order, so first_edge stays monotone.
    while (!queue.empty()) {
        const int p = queue.front();
        queue.pop_front();
        const process_t& process = *model.processes[p];
        std::vector<transition_t> kept;
        for (const alternatives_t h : process.must) {
            if (h.size() != 1) {
                std::string alternatives;
                for (const transition_t& t : h) {
                    alternatives += (alternatives.empty() ? "{" : " | ") + alternative_text(model, t);
                }
                error = "process " + process.name + " has the hypertransition " + alternatives +
                        "}; an implementation has plain must transitions only";
                return false;
            }
            kept.push_back(h.front());
        }
        for (const transition_t& t : process.may) {
            if (!std::binary_search(kept.begin(), kept.end(), t)) {
                error = "process " + process.name + " has the may transition ?" + alternative_text(model, t) +
                        "; an implementation has must transitions only";
                return false;
            }
        }
        // must is ordered lexicographically, so its singletons come out sorted.
        for (const transition_t& t : kept) {
            if (number[t.target] < 0) {
                number[t.target] = static_cast<int>(process_of.size());
                process_of.push_back(t.target);
                queue.push_back(t.target);
            }
            lts.edges.push_back({t.action, number[t.target]});
        }
        lts.first_edge.push_back(static_cast<int>(lts.edges.size()));
    }
    for (int p : process_of) lts.state_names.push_back(model.processes[p]->name);
    // Targets were renumbered, so re-sort each state's edges by (action, target).
    for (int s = 0; s < lts.state_count(); ++s) {
        std::sort(lts.edges.begin() + lts.first_edge[s], lts.edges.begin() + lts.first_edge[s + 1],
                  [](const lts_edge_t& x, const lts_edge_t& y) {
                      return x.action != y.action ? x.action < y.action : x.target < y.target;
                  });
    }
    return true;
}

lts_t empty_lts(const std::string& name) {
    lts_t lts;
    lts.state_names.push_back(name);
    lts.first_edge = {0, 0};
    return lts;
}

std::string edge_text(const lts_t& lts, int source, const lts_edge_t& edge) {
    return lts.state_names[source] + " --" + lts.action_names[edge.action] + "--> " +
           lts.state_names[edge.target];
}
