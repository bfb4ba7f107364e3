// The product game seen from the environment: its state nodes are the
// environment's (it picks one must hypertransition), its choice nodes the
// implementation's (it picks an alternative). The environment wins a play
// that satisfies, for every acceptance pair, "good finitely often or bad
// infinitely often" (the Streett condition opposite to the product's Rabin
// condition), and wins where the implementation has no alternative; it loses
// where it has no hypertransition to insist on.
#pragma once

#include <vector>

class ra_product_t;

struct env_game_t {
    int node_count = 0;
    std::vector<char> env;       // state node
    std::vector<int> edge_begin;  // edges of v: edge_begin[v] .. edge_begin[v + 1]
    std::vector<int> target;
    std::vector<int> source;
    std::vector<int> pred_begin;  // edges into v: pred_edge[pred_begin[v] .. pred_begin[v + 1])
    std::vector<int> pred_edge;
    std::vector<std::vector<char>> good, bad;  // per pair, per node

    int pair_count() const { return static_cast<int>(good.size()); }
};

// Whether every state node has one edge per must hypertransition of its
// process, so that its k-th edge stands for the k-th hypertransition (the
// order in which the product is built).
bool edges_follow_must(const ra_product_t& product);

// Copies the solved or unsolved product's graph and acceptance sets.
env_game_t game_of(const ra_product_t& product);

using node_set_t = std::vector<char>;

// The nodes of within from which the environment (env_side) or the
// implementation can force a visit to goal, staying within. With edges_out,
// the attracting edge of each of the attracting player's nodes outside goal
// is stored at its index (other entries untouched).
node_set_t attractor(const env_game_t& game, const node_set_t& within, const node_set_t& goal, bool env_side,
                     std::vector<int>* edges_out);
