#include "explain/env_strategy.hpp"

#include <algorithm>
#include <unordered_map>

namespace {

struct env_piece_t;

struct env_mode_t {
    int pair = 0;
    // The environment's edge at its nodes of the part that can be forced to
    // bad[pair]; at the bad nodes themselves any edge that stays in the region.
    std::unordered_map<int, int> edge;
    // The piece of every node of the rest.
    std::unordered_map<int, int> piece_of;
    std::vector<env_piece_t> pieces;
};

}  // namespace

class env_plan_t {
public:
    std::vector<int> members;  // the region, ascending
    // Without pairs: the edge of each environment node, staying in the region.
    std::unordered_map<int, int> stay;
    std::vector<env_mode_t> modes;

    bool contains(int v) const { return std::binary_search(members.begin(), members.end(), v); }
};

namespace {

struct env_piece_t {
    // The edges that lead from the piece's outer part into its core.
    std::unordered_map<int, int> edge;
    std::unique_ptr<env_plan_t> core;  // won for the remaining pairs, good[pair] never seen
};

int stay_edge(const env_game_t& game, int v, const node_set_t& region) {
    for (int e = game.edge_begin[static_cast<size_t>(v)]; e < game.edge_begin[static_cast<size_t>(v) + 1]; ++e) {
        if (region[static_cast<size_t>(game.target[static_cast<size_t>(e)])]) return e;
    }
    return -1;  // never for an environment node of a region it wins
}

void set_members(env_plan_t& plan, const node_set_t& region) {
    for (size_t v = 0; v < region.size(); ++v) {
        if (region[v]) plan.members.push_back(static_cast<int>(v));
    }
}

node_set_t minus(const node_set_t& a, const node_set_t& b) {
    node_set_t r(a.size());
    for (size_t v = 0; v < a.size(); ++v) r[v] = a[v] && !b[v];
    return r;
}

node_set_t restricted(const node_set_t& region, const std::vector<char>& set) {
    node_set_t r(region.size());
    for (size_t v = 0; v < region.size(); ++v) r[v] = region[v] && set[v];
    return r;
}

bool empty(const node_set_t& s) { return std::find(s.begin(), s.end(), 1) == s.end(); }

// The environment's winning part of region (which the implementation cannot
// leave) for the pairs given, with its strategy. The depth of the recursion
// is the number of pairs, which the caller bounds.
std::unique_ptr<env_plan_t> solve_env(const env_game_t& game, node_set_t region, const std::vector<int>& pairs) {
    auto plan = std::make_unique<env_plan_t>();
    const size_t n = region.size();
    if (pairs.empty()) {
        // Every infinite play is won; only the places where the environment
        // has no move within the region are lost, and what leads there.
        region = minus(region, attractor(game, region, node_set_t(n, 0), false, nullptr));
        set_members(*plan, region);
        for (int v : plan->members) {
            if (game.env[static_cast<size_t>(v)]) plan->stay[v] = stay_edge(game, v, region);
        }
        return plan;
    }
    for (bool shrunk = true; shrunk;) {
        shrunk = false;
        plan->modes.clear();
        for (size_t index = 0; index < pairs.size() && !shrunk; ++index) {
            env_mode_t mode;
            mode.pair = pairs[index];
            const node_set_t bad_here = restricted(region, game.bad[static_cast<size_t>(mode.pair)]);
            std::vector<int> edges(n, -1);
            const node_set_t forced = attractor(game, region, bad_here, true, &edges);
            std::vector<int> rest = pairs;
            rest.erase(rest.begin() + static_cast<long>(index));
            // The rest, where the implementation can keep bad[pair] away: the
            // environment must avoid good[pair] from some point on and win
            // the remaining pairs. Peel off the pieces where it does.
            node_set_t left = minus(region, forced);
            for (;;) {
                const node_set_t good_here = restricted(left, game.good[static_cast<size_t>(mode.pair)]);
                const node_set_t avoiding = minus(left, attractor(game, left, good_here, false, nullptr));
                std::unique_ptr<env_plan_t> core = solve_env(game, avoiding, rest);
                if (core->members.empty()) break;
                node_set_t core_set(n, 0);
                for (int v : core->members) core_set[static_cast<size_t>(v)] = 1;
                std::vector<int> piece_edges(n, -1);
                const node_set_t piece = attractor(game, left, core_set, true, &piece_edges);
                env_piece_t p;
                for (size_t v = 0; v < n; ++v) {
                    if (!piece[v]) continue;
                    mode.piece_of[static_cast<int>(v)] = static_cast<int>(mode.pieces.size());
                    if (game.env[v] && !core_set[v]) p.edge[static_cast<int>(v)] = piece_edges[v];
                }
                p.core = std::move(core);
                mode.pieces.push_back(std::move(p));
                left = minus(left, piece);
            }
            if (!empty(left)) {
                // The implementation wins there, and wherever it can force a visit.
                region = minus(region, attractor(game, region, left, false, nullptr));
                shrunk = true;
                break;
            }
            for (size_t v = 0; v < n; ++v) {
                if (!forced[v] || !game.env[v]) continue;
                mode.edge[static_cast<int>(v)] = bad_here[v] ? stay_edge(game, static_cast<int>(v), region) : edges[v];
            }
            plan->modes.push_back(std::move(mode));
        }
    }
    set_members(*plan, region);
    return plan;
}

// Memory of a plan with pairs: [mode, slot, memory of the piece's core...],
// slot being the piece whose core the play is in, or -1.
std::vector<int> arrive_at(const env_game_t& game, const env_plan_t& plan, int node,
                           const std::vector<int>& previous, bool fresh) {
    if (plan.modes.empty()) return {};
    const int old_mode = fresh ? 0 : previous[0];
    int m = old_mode;
    if (game.bad[static_cast<size_t>(plan.modes[static_cast<size_t>(m)].pair)][static_cast<size_t>(node)]) {
        m = (m + 1) % static_cast<int>(plan.modes.size());
    }
    const env_mode_t& mode = plan.modes[static_cast<size_t>(m)];
    const auto it = mode.piece_of.find(node);
    if (it == mode.piece_of.end()) return {m, -1};
    const env_piece_t& piece = mode.pieces[static_cast<size_t>(it->second)];
    if (!piece.core->contains(node)) return {m, -1};
    const bool same = !fresh && m == old_mode && previous[1] == it->second;
    std::vector<int> inner(same ? previous.begin() + 2 : previous.end(), previous.end());
    std::vector<int> memory{m, it->second};
    const std::vector<int> below = arrive_at(game, *piece.core, node, inner, !same);
    memory.insert(memory.end(), below.begin(), below.end());
    return memory;
}

int choose_at(const env_plan_t& plan, int node, const std::vector<int>& memory) {
    if (plan.modes.empty()) return plan.stay.at(node);
    const env_mode_t& mode = plan.modes[static_cast<size_t>(memory[0])];
    const auto forced = mode.edge.find(node);
    if (forced != mode.edge.end()) return forced->second;
    const int k = mode.piece_of.at(node);
    const env_piece_t& piece = mode.pieces[static_cast<size_t>(k)];
    if (memory[1] != k) return piece.edge.at(node);
    return choose_at(*piece.core, node, std::vector<int>(memory.begin() + 2, memory.end()));
}

}  // namespace

env_strategy_t::env_strategy_t(const env_game_t& game, const node_set_t& within) : game_(game) {
    std::vector<int> pairs(static_cast<size_t>(game.pair_count()));
    for (int i = 0; i < game.pair_count(); ++i) pairs[static_cast<size_t>(i)] = i;
    plan_ = solve_env(game, within, pairs);
}

env_strategy_t::~env_strategy_t() = default;

bool env_strategy_t::wins(int node) const { return plan_->contains(node); }

std::vector<int> env_strategy_t::arrive(int node, const std::vector<int>& previous, bool fresh) const {
    return arrive_at(game_, *plan_, node, previous, fresh);
}

int env_strategy_t::choose(int node, const std::vector<int>& memory) const { return choose_at(*plan_, node, memory); }
