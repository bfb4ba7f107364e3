#include "explain/env_game.hpp"

#include <deque>

#include "product/product.hpp"
#include "support/row_layout.hpp"

bool edges_follow_must(const ra_product_t& product) {
    for (int v = 0; v < product.state_count; ++v) {
        if (product.is_choice(v)) continue;
        const size_t edges = product.edge_begin[static_cast<size_t>(v) + 1] - product.edge_begin[static_cast<size_t>(v)];
        const process_t& p = *product.dmts->processes[static_cast<size_t>(product.states[static_cast<size_t>(v)].process)];
        if (edges != p.must.size()) return false;
    }
    return true;
}

env_game_t game_of(const ra_product_t& product) {
    env_game_t game;
    const int n = product.state_count;
    game.node_count = n;
    game.env.resize(static_cast<size_t>(n));
    game.edge_begin.assign(static_cast<size_t>(n) + 1, 0);
    for (int v = 0; v < n; ++v) {
        game.env[static_cast<size_t>(v)] = !product.is_choice(v);
        const uint32_t first = product.edge_begin[static_cast<size_t>(v)];
        const uint32_t last = product.edge_begin[static_cast<size_t>(v) + 1];
        for (uint32_t e = first; e < last; ++e) {
            game.target.push_back(product.edges[e].target);
            game.source.push_back(v);
        }
        game.edge_begin[static_cast<size_t>(v) + 1] = static_cast<int>(game.target.size());
    }
    row_layout_t<int> by_target;
    by_target.reset(static_cast<size_t>(n));
    for (int t : game.target) by_target.count(static_cast<size_t>(t));
    by_target.close();
    game.pred_edge.resize(game.target.size());
    for (size_t e = 0; e < game.target.size(); ++e) {
        game.pred_edge[static_cast<size_t>(by_target.place(static_cast<size_t>(game.target[e])))] = static_cast<int>(e);
    }
    game.pred_begin = by_target.take_begin();
    for (size_t i = 0; i < product.good.size(); ++i) {
        game.good.emplace_back(static_cast<size_t>(n));
        game.bad.emplace_back(static_cast<size_t>(n));
        for (int v = 0; v < n; ++v) {
            game.good[i][static_cast<size_t>(v)] = product.good[i].test(static_cast<uint32_t>(v));
            game.bad[i][static_cast<size_t>(v)] = product.bad[i].test(static_cast<uint32_t>(v));
        }
    }
    return game;
}

node_set_t attractor(const env_game_t& game, const node_set_t& within, const node_set_t& goal, bool env_side,
                     std::vector<int>* edges_out) {
    const size_t n = static_cast<size_t>(game.node_count);
    node_set_t attr(n, 0);
    std::vector<int> missing(n, 0);  // successors within not yet attracted, for the opponent's nodes
    std::deque<int> queue;
    for (size_t v = 0; v < n; ++v) {
        if (!within[v]) continue;
        if (goal[v]) {
            attr[v] = 1;
            queue.push_back(static_cast<int>(v));
            continue;
        }
        if (game.env[v] == static_cast<char>(env_side)) continue;
        for (int e = game.edge_begin[v]; e < game.edge_begin[v + 1]; ++e) {
            missing[v] += within[static_cast<size_t>(game.target[static_cast<size_t>(e)])];
        }
        if (missing[v] == 0) {  // the opponent is stuck here, which it loses
            attr[v] = 1;
            queue.push_back(static_cast<int>(v));
        }
    }
    while (!queue.empty()) {
        const int w = queue.front();
        queue.pop_front();
        for (int i = game.pred_begin[static_cast<size_t>(w)]; i < game.pred_begin[static_cast<size_t>(w) + 1]; ++i) {
            const int e = game.pred_edge[static_cast<size_t>(i)];
            const size_t v = static_cast<size_t>(game.source[static_cast<size_t>(e)]);
            if (!within[v] || attr[v]) continue;
            if (game.env[v] == static_cast<char>(env_side)) {
                if (edges_out) (*edges_out)[v] = e;
            } else if (--missing[v] > 0) {
                continue;
            }
            attr[v] = 1;
            queue.push_back(static_cast<int>(v));
        }
    }
    return attr;
}
