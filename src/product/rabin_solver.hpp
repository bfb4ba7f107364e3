// The Rabin game solver over one read-only view of the product
// (game_view.hpp: edge rows, predecessor rows, choice nodes), built once and
// passed by const reference to every engine it owns; Rabin() gives the set,
// the ranks and the step counter of the nested fixpoint iteration.
//
// With one pair the level is the one-pair engine's greatest fixpoint
// (pair_fixpoint.hpp) and one ranked attractor run (attractor.hpp), O(n + m)
// usually. With two to 64 pairs it is the replay described here, with far
// fewer evaluations than the iteration:
//
// In that iteration the ranks of every round over Y but the last are thrown
// away: each round restarts H and r from the level's values. So for each pair
// the final Y is found first without ranks (rabin_regions_t), and then the
// last round is run once, from that Y, with ranks: the chain X_0 = {} ...
// X_{j+1} = Rabin(rest, allowed - bad_l, K(X_j, Y)) up to Y, the recursive
// calls ranked in turn. A call whose result lies within the ranked states
// ranks nothing and leaves the counter alone (every state it ranks lies in
// its result), so it is not made; the chain is followed on the unranked sets.
// With one pair left the round is a ranked attractor, whose layers are found
// from the states of the known result outside its base.
// Cost: every call made ranks a new state, so there are at most n of them,
// each with one region query per step of its chains (rabin_regions.hpp) and
// word-parallel set operations of O(n / 32) per pair. The recursion depth is
// the number of pairs, at most 64, whatever the size of the game.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "support/bitset.hpp"
#include "product/attractor.hpp"
#include "product/game_view.hpp"
#include "product/pair_fixpoint.hpp"
#include "product/rabin_regions.hpp"

class ra_product_t;

class rabin_solver_t {
public:
    // The product's edges, states and pairs must not change while the
    // solver lives; it writes the product's rank entries.
    explicit rabin_solver_t(ra_product_t& product);

    // Rabin(pairs, allowed, goal, ranked, counter) with the pairs as a bit
    // mask: returns the same set, and leaves ranked, counter and the ranks of
    // the states in ranked as that call leaves them.
    bitset_t Rabin(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                   uint32_t& counter);

    // The view every engine reads, built once for the solver's life.
    const game_view_t& game_view() const { return view; }

private:
    bitset_t one_pair_level(uint32_t l, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                            uint32_t& counter);
    bitset_t replay(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                    uint32_t& counter);

    ra_product_t& product;
    const game_view_t view;
    const uint32_t n;
    attractor_t attractor;
    pair_fixpoint_t one_pair;
    // The set engine of two or more pairs, made when first needed.
    std::optional<rabin_regions_t> regions;
};
