// The ranked Rabin recursion for two to 64 acceptance pairs: the same
// winning region, ranks and step counter as the nested fixpoint iteration,
// with far fewer evaluations.
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
#include <vector>

#include "support/bitset.hpp"
#include "product/rabin_regions.hpp"

class ra_product_t;
class attractor_t;
class pair_fixpoint_t;
struct predecessors_t;

class rabin_solver_t {
public:
    rabin_solver_t(ra_product_t& product, const predecessors_t& predecessors, attractor_t& attractor,
                   pair_fixpoint_t& one_pair);

    // Rabin(pairs, allowed, goal, ranked, counter) with the pairs as a bit
    // mask: returns the same set, and leaves ranked, counter and the ranks of
    // the states in ranked as that call leaves them.
    bitset_t rabin(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                   uint32_t& counter);

private:
    ra_product_t& product;
    attractor_t& attractor;
    rabin_regions_t regions;
    const uint32_t n;
    bitset_t dead_end_states;  // state nodes without successors
};
