// The sets the Rabin recursion returns, computed without ranks.
//
// Rabin(pairs, allowed, goal) yields a set that depends on its three set
// arguments only; the ranked set and the counter change nothing but the ranks.
// For each pair l the set is the nested fixpoint
//
//   Y_l = gfp Y. lfp X. Rabin(pairs - l, allowed - bad_l, K(X, Y)),
//   K(X, Y) = ((allowed - bad_l) ∩ cpred(X)) ∪ (good_l ∩ cpred(Y)) ∪ goal,
//
// and the result is the union of the Y_l. The fixpoint is the fixpoint
// formula of Rabin games (Piterman and Pnueli, "Faster solutions of Rabin
// and Streett games", 2006), so Y_l is the implementation's winning region of
// the game played within allowed - bad_l in which goal and the state nodes
// without successors are won at once, and an infinite play is won when it
// sees good_l - bad_l infinitely often or satisfies one of the other pairs
// (their bad sets finitely often). rabin_game.hpp solves that game; with one
// pair left the game is a Büchi game, and the incremental one-pair engine
// (pair_fixpoint.hpp) solves it.
//
// Every evaluation is kept, keyed by the arguments it was computed for, and
// a later one starts from the best known bounds (the scheme of Emerson-Lei,
// as refined by Browne, Clarke, Jha, Long and Marrero): all sets are monotone
// in goal, so for the same pairs and allowed, Y_l for a smaller goal is won
// for this goal too (its states become targets), and Y_l for a larger goal
// holds this one (the states outside it are lost). In the replay's chains,
// where goals grow step by step, the game left to solve is then the few
// states that the last step did not decide. An exact repeat costs one lookup.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "support/bitset.hpp"
#include "product/game_view.hpp"
#include "product/rabin_game.hpp"

class pair_fixpoint_t;

class rabin_regions_t {
public:
    // Pair sets are bit masks over the pair indices, so at most 64 pairs.
    static constexpr uint32_t max_pairs = 64;

    // Keeps references to the view and the one-pair engine, which must
    // outlive it.
    rabin_regions_t(const game_view_t& view, pair_fixpoint_t& one_pair);

    // The set Rabin(pairs, allowed, goal) returns. A caller that knows a
    // superset of it may pass it as bound; the one-pair engine then starts
    // from there.
    bitset_t region(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal,
                    const bitset_t* bound = nullptr);
    // Y_l for every pair l in pairs, at index l; empty sets of capacity 0 at
    // the other indices.
    std::vector<bitset_t> pair_regions(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal);

private:
    // One evaluation: its goal, its result and every Y_l.
    struct entry_t {
        bitset_t goal;
        bitset_t result;
        std::vector<bitset_t> pair_sets;
        uint64_t last_use;
    };
    // The evaluations for one set of pairs. The allowed set is the same for
    // all of them: it is the full set minus the bad states of the pairs
    // already taken, so it follows from the pairs left.
    struct level_t {
        bitset_t allowed;
        std::vector<entry_t> entries;
    };

    const entry_t& evaluate(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal, const bitset_t* bound);
    // Y_l, from the over-approximation y (mapped into itself by the operator)
    // and the under-approximation lower; bound, if given, also holds Y_l.
    bitset_t pair_region(uint64_t pairs, uint32_t l, const bitset_t& allowed, const bitset_t& goal, bitset_t y,
                         const bitset_t& lower, const bitset_t* bound);

    const game_view_t& view;
    pair_fixpoint_t& one_pair;
    const uint32_t n;
    const uint32_t pair_count;
    std::size_t entries_per_level;
    uint64_t clock = 0;
    std::unordered_map<uint64_t, level_t> levels;
    rabin_game_t game;
    std::vector<bitset_t> good_minus_bad;  // good_l - bad_l for every pair l
};

// The pair indices in a mask, ascending.
template <class F>
void for_each_pair(uint64_t pairs, F f) {
    for (uint32_t l = 0; l < rabin_regions_t::max_pairs; ++l)
        if ((pairs >> l) & 1u) f(l);
}

inline uint64_t without_pair(uint64_t pairs, uint32_t l) { return pairs & ~(uint64_t{1} << l); }
