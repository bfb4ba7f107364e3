// The winning region of a Rabin game on part of the product, by the
// recursive algorithm of Zielonka ("Infinite games on finitely coloured
// graphs with applications to automata on infinite trees", 1998) for Rabin
// conditions, the form given by Horn and by Piterman and Pnueli:
//
//   closed(S, pairs): for some pair i, take out of S the attractor of the
//   opponent to bad_i; in what is left (a trap for the opponent) solve
//   "good_i infinitely often, or the other pairs" by the Büchi loop of
//   buchi_or(); whatever the implementation wins there it wins in S too, so
//   its attractor leaves S, and the search starts again. When no pair wins
//   anything the opponent wins all of S (in a bottom component of a winning
//   strategy some pair has its good states and no bad one).
//
// The implementation owns the choice nodes, the opponent the state nodes.
// Plays are confined to an arena; targets are won at once, and so are state
// nodes of the arena without successors; every other state is lost.
// Cost: every attractor is linear in the edges it meets; the recursion over
// the pairs goes as deep as there are pairs (at most 64), and in the worst case
// it tries every order of them, O(n^(2k) k!) attractors for n states and k
// pairs; pairs without good states in the current part are dropped at once,
// and on products that are mostly won or mostly lost the first pair tried
// decides most of the part.
#pragma once

#include <cstdint>
#include <vector>

#include "support/bitset.hpp"
#include "product/game_view.hpp"

class rabin_game_t {
public:
    // A Rabin pair: good visited infinitely often, bad (when not null) only
    // finitely often.
    struct pair_sets_t {
        const bitset_t* good;
        const bitset_t* bad;
    };

    // Keeps a reference to the view, which must outlive the solver.
    explicit rabin_game_t(const game_view_t& view);

    // The states from which the implementation keeps the play within arena
    // until it reaches targets, or for ever with one of pairs satisfied. At
    // most 64 pairs.
    bitset_t winning(const bitset_t& arena, const bitset_t& targets, const std::vector<pair_sets_t>& pairs);

private:
    enum class player_t { implementation, opponent };
    // Where an attractor starts: from the predecessors of the region's
    // members, or from the states that may join (cheaper when the region is
    // large and few may join, as in the outer game whose targets hold what
    // is known to be won).
    enum class start_t { from_region, from_candidates };

    // The implementation's region of the subgame s (every state of s has a
    // move within s) for the pairs in the mask.
    bitset_t closed(bitset_t s, uint64_t pairs);
    // The implementation's region of the subgame u for "good of pair i
    // infinitely often, or one of the pairs in rest".
    bitset_t buchi_or(bitset_t u, uint32_t i, uint64_t rest);
    // Grows region by the states of joinable that player can force into it,
    // counting only the moves into arena.
    void attract(player_t player, const bitset_t& arena, bitset_t& region, const bitset_t& joinable, start_t start);
    bool owned_by(player_t player, uint32_t s) const;

    const game_view_t& view;
    const predecessors_t& pred;
    const uint32_t n;
    std::vector<pair_sets_t> pairs;
    // Moves of the state still outside the region, valid where stamp is the
    // current attractor's.
    std::vector<uint32_t> open_moves;
    std::vector<uint32_t> stamp;
    uint32_t attractor_stamp = 0;
    std::vector<uint32_t> queue;
};
