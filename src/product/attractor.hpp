// The innermost least fixpoint of the Rabin solver, computed as an attractor.
// Iterating X := (allowed ∩ cpred(X)) ∪ base from the empty set adds one layer
// of states per step; instead of recomputing cpred over the whole product for
// every layer, the attractor walks predecessor lists and keeps, per state node,
// the number of successors still outside X. The layers and the ranks they
// receive are exactly those of the plain iteration, at a cost proportional to
// the states reached and their incoming edges.
// It stays apart from rabin_game.hpp's two-player attractor (the player a
// parameter, moves counted within an arena) because only this one ranks each
// layer as it closes; pair_fixpoint.hpp repairs its attractor in place.
#pragma once

#include <cstdint>
#include <vector>

#include "support/bitset.hpp"
#include "product/game_view.hpp"

class attractor_t {
public:
    // Keeps a reference to the view, which must outlive the attractor.
    explicit attractor_t(const game_view_t& view);

    // The least fixpoint X of X = (allowed ∩ cpred(X)) ∪ base. Every layer's
    // members that are not yet in ranked join ranked with rank value counter,
    // written to rank; counter then advances by one if the layer ranked any.
    bitset_t run(const bitset_t& allowed, const bitset_t& base, bitset_t& ranked, uint32_t& counter,
                 std::vector<uint32_t>& rank);

    // What run() does to ranked, counter and rank, for a caller that knows
    // its result: the layers are found from the states of result outside
    // the first layer, each looked at once, rather than from the
    // predecessors of every member. When result holds many states of base
    // and few others, as in the replay of a level whose goal is the region
    // won so far, this touches the few only.
    void rank_layers(const bitset_t& allowed, const bitset_t& base, const bitset_t& result, bitset_t& ranked,
                     uint32_t& counter, std::vector<uint32_t>& rank);

private:
    // A new run's stamp; on wrap-around every counter is reset first.
    uint32_t next_stamp();
    // Walks the layers from those in layers on, ranking each one's unranked
    // members and adding the next layer from the admitted states; counters
    // of an older stamp stand for the full out-degree.
    void extend_layers(bitset_t& x, const bitset_t& admitted, bitset_t& ranked, uint32_t& counter,
                       std::vector<uint32_t>& rank, uint32_t stamp);

    const game_view_t& view;
    const predecessors_t& pred;
    // For each state node, its successors still outside X in the run whose
    // number is stamp; an entry with an older stamp stands for the full
    // out-degree, so a run starts without clearing anything.
    struct counter_t {
        uint32_t stamp;
        uint32_t outside;
        uint32_t degree;
    };
    std::vector<counter_t> counters;
    uint32_t run_stamp = 0;
    std::vector<uint32_t> layers;  // members of X in the order they joined
};
