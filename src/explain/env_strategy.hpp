// A winning strategy of the environment with memory, by the recursive
// decomposition of Streett games (Zielonka's algorithm for the player with
// the conjunctive condition). On a region where it wins from everywhere the
// environment cycles through the acceptance pairs: in the mode of pair i it
// forces a visit to bad[i] where it can (switching to the next mode on
// arrival); elsewhere the implementation can keep bad[i] away, so the region
// splits into pieces, ordered so that the implementation can only move to
// earlier ones, in each of which good[i] is avoided for ever and the
// remaining pairs are won by a strategy of the same kind one level down.
// Either every mode is left infinitely often (every bad set is visited
// infinitely often) or the play settles in one piece. The memory is the
// mode and piece of each level: at most as many levels as pairs.
#pragma once

#include <memory>
#include <vector>

#include "explain/env_game.hpp"

class env_plan_t;

class env_strategy_t {
public:
    // Solves the game restricted to within (a region the implementation
    // cannot leave); the strategy covers the environment's winning part.
    env_strategy_t(const env_game_t& game, const node_set_t& within);
    ~env_strategy_t();

    bool wins(int node) const;
    // The memory after arriving at node from a play with memory previous
    // (fresh at the start of the play).
    std::vector<int> arrive(int node, const std::vector<int>& previous, bool fresh) const;
    // The edge the environment takes at its node with this memory.
    int choose(int node, const std::vector<int>& memory) const;

private:
    const env_game_t& game_;
    std::unique_ptr<env_plan_t> plan_;
};
