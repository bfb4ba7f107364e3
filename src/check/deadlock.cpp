#include "check/deadlock.hpp"

#include <algorithm>
#include <deque>

std::vector<int> breadth_first_parents(const lts_t& impl) {
    std::vector<int> parent(impl.state_count(), -1);
    std::vector<char> seen(impl.state_count(), 0);
    std::deque<int> queue{0};
    seen[0] = 1;
    while (!queue.empty()) {
        const int s = queue.front();
        queue.pop_front();
        for (int e = impl.edge_begin(s); e < impl.edge_end(s); ++e) {
            const int t = impl.edges[e].target;
            if (seen[t]) continue;
            seen[t] = 1;
            parent[t] = e;
            queue.push_back(t);
        }
    }
    return parent;
}

namespace {

std::vector<int> edge_sources(const lts_t& impl) {
    std::vector<int> source(impl.edges.size());
    for (int s = 0; s < impl.state_count(); ++s) {
        for (int e = impl.edge_begin(s); e < impl.edge_end(s); ++e) source[e] = s;
    }
    return source;
}

}  // namespace

std::string path_text(const lts_t& impl, const std::vector<int>& parent_edge,
                      const std::vector<int>& edge_source, int target) {
    std::vector<int> path;
    for (int s = target; parent_edge[s] >= 0; s = edge_source[parent_edge[s]]) path.push_back(parent_edge[s]);
    std::reverse(path.begin(), path.end());
    std::string text = impl.state_names[0];
    for (int e : path) text += " --" + impl.action_names[impl.edges[e].action] + "--> " +
                               impl.state_names[impl.edges[e].target];
    return text;
}

check_result_t check_deadlock_free(const lts_t& impl) {
    check_result_t result;
    // Every state of an lts_t is reachable from state 0, and state numbers are
    // breadth-first, so the least deadlocked number is a nearest one.
    for (int s = 0; s < impl.state_count(); ++s) {
        if (impl.has_transitions(s)) continue;
        result.holds = false;
        result.lines.push_back("does not hold: " + impl.state_names[s] + " has no transitions");
        const std::vector<int> parent = breadth_first_parents(impl);
        result.lines.push_back("  reached by " + path_text(impl, parent, edge_sources(impl), s));
        return result;
    }
    return result;
}
