#include "check/bisimulation.hpp"

#include <algorithm>
#include <unordered_map>

#include "support/row_numbering.hpp"

std::vector<int> bisimulation_classes(const lts_t& lts) {
    const int n = lts.state_count();
    std::vector<int> block(n, 0);
    std::size_t block_count = n > 0 ? 1 : 0;
    std::vector<int> flat;
    std::vector<std::size_t> begin;
    std::vector<std::pair<int, int>> moves;
    for (;;) {
        // A state's signature: its block, then its distinct (action, target
        // block) moves in ascending order.
        flat.clear();
        begin.assign(1, 0);
        for (int s = 0; s < n; ++s) {
            moves.clear();
            for (int e = lts.edge_begin(s); e < lts.edge_end(s); ++e) {
                moves.push_back({lts.edges[e].action, block[lts.edges[e].target]});
            }
            std::sort(moves.begin(), moves.end());
            moves.erase(std::unique(moves.begin(), moves.end()), moves.end());
            flat.push_back(block[s]);
            for (const auto& m : moves) {
                flat.push_back(m.first);
                flat.push_back(m.second);
            }
            begin.push_back(flat.size());
        }
        std::size_t count = 0;
        block = number_rows(flat, begin, count);
        // Signatures include the old block, so blocks only split; an equal
        // count means the partition is stable.
        if (count == block_count) return block;
        block_count = count;
    }
}

lts_t disjoint_union(const lts_t& x, const lts_t& y) {
    lts_t u;
    u.action_names = x.action_names;
    std::unordered_map<std::string, int> index;
    for (size_t a = 0; a < u.action_names.size(); ++a) index.emplace(u.action_names[a], static_cast<int>(a));
    std::vector<int> y_action(y.action_names.size());
    for (size_t a = 0; a < y.action_names.size(); ++a) {
        auto inserted = index.emplace(y.action_names[a], static_cast<int>(u.action_names.size()));
        if (inserted.second) u.action_names.push_back(y.action_names[a]);
        y_action[a] = inserted.first->second;
    }
    u.state_names = x.state_names;
    u.state_names.insert(u.state_names.end(), y.state_names.begin(), y.state_names.end());
    u.edges = x.edges;
    u.first_edge = x.first_edge;
    const int shift = x.state_count();
    for (int s = 0; s < y.state_count(); ++s) {
        for (int e = y.edge_begin(s); e < y.edge_end(s); ++e) {
            u.edges.push_back({y_action[y.edges[e].action], y.edges[e].target + shift});
        }
        u.first_edge.push_back(static_cast<int>(u.edges.size()));
    }
    return u;
}

bool bisimilar(const lts_t& x, const lts_t& y) {
    const std::vector<int> classes = bisimulation_classes(disjoint_union(x, y));
    return classes[0] == classes[x.state_count()];
}
