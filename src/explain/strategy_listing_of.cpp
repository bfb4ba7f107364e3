#include "explain/strategy_listing_of.hpp"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <ostream>
#include <set>
#include <unordered_map>

#include "check/core_weakening.hpp"
#include "explain/env_strategy.hpp"
#include "product/product.hpp"
#include "support/dot_text.hpp"
#include "support/hash.hpp"
#include "support/row_numbering.hpp"

namespace {

struct raw_state_t {
    int node;
    int edge;  // the edge the environment takes
    std::vector<int> next;
};

struct vector_hash_t {
    size_t operator()(const std::vector<int>& v) const {
        uint64_t h = golden_ratio_64 ^ v.size();
        for (int x : v) h = mix64(h ^ static_cast<uint32_t>(x));
        return static_cast<size_t>(h);
    }
};

// The reachable (node, memory) pairs of the strategy, numbered breadth-first.
// Memories repeat across nodes, so each distinct one is numbered once and a
// pair is keyed by two ints.
std::vector<raw_state_t> explore(const env_game_t& game, const env_strategy_t& strategy) {
    std::unordered_map<std::vector<int>, int, vector_hash_t> memory_number;
    std::vector<const std::vector<int>*> memories;
    std::unordered_map<uint64_t, int> number;
    std::vector<raw_state_t> states;
    std::vector<int> state_memory;
    auto visit = [&](int node, const std::vector<int>& memory) {
        auto m = memory_number.emplace(memory, static_cast<int>(memories.size()));
        if (m.second) memories.push_back(&m.first->first);
        const uint64_t key = (static_cast<uint64_t>(m.first->second) << 32) | static_cast<uint32_t>(node);
        auto found = number.emplace(key, static_cast<int>(states.size()));
        if (found.second) {
            states.push_back({node, -1, {}});
            state_memory.push_back(m.first->second);
        }
        return found.first->second;
    };
    visit(0, strategy.arrive(0, {}, true));
    for (size_t s = 0; s < states.size(); ++s) {
        const int v = states[s].node;
        const std::vector<int> memory = *memories[static_cast<size_t>(state_memory[s])];
        const int e = strategy.choose(v, memory);
        const int t = game.target[static_cast<size_t>(e)];
        std::vector<int> next;
        if (game.env[static_cast<size_t>(t)]) {
            next.push_back(visit(t, strategy.arrive(t, memory, false)));
        } else {
            const std::vector<int> at_choice = strategy.arrive(t, memory, false);
            for (int f = game.edge_begin[static_cast<size_t>(t)]; f < game.edge_begin[static_cast<size_t>(t) + 1]; ++f) {
                const int w = game.target[static_cast<size_t>(f)];
                next.push_back(visit(w, strategy.arrive(w, at_choice, false)));
            }
        }
        states[s].edge = e;
        states[s].next = std::move(next);
    }
    return states;
}

// Coarsest partition that keeps (node's process, automaton state,
// hypertransition) and maps successors to the same blocks, by refining
// signatures until the number of blocks stops growing.
std::vector<int> bisimulation_blocks(const ra_product_t& product, const env_game_t& game,
                                     const std::vector<raw_state_t>& states) {
    const size_t n = states.size();
    std::vector<int> flat;
    std::vector<size_t> begin{0};
    for (size_t s = 0; s < n; ++s) {
        const auto& ps = product.states[static_cast<size_t>(states[s].node)];
        flat.push_back(ps.process);
        flat.push_back(ps.ra_state);
        flat.push_back(states[s].edge - game.edge_begin[static_cast<size_t>(states[s].node)]);
        begin.push_back(flat.size());
    }
    size_t count = 0;
    std::vector<int> block = number_rows(flat, begin, count);
    for (;;) {
        flat.clear();
        begin.assign(1, 0);
        for (size_t s = 0; s < n; ++s) {
            flat.push_back(block[s]);
            for (int w : states[s].next) flat.push_back(block[static_cast<size_t>(w)]);
            begin.push_back(flat.size());
        }
        size_t refined_count = 0;
        block = number_rows(flat, begin, refined_count);
        if (refined_count == count) break;
        count = refined_count;
    }
    return block;
}

std::string dot_id(int s) { return "S" + std::to_string(s); }

}  // namespace

std::vector<std::pair<int, int>> strategy_support(const ra_product_t& product, const env_game_t& game,
                                                  const env_strategy_t& strategy) {
    std::set<std::pair<int, int>> seen;
    for (const raw_state_t& raw : explore(game, strategy)) {
        seen.insert({product.states[static_cast<size_t>(raw.node)].process,
                     raw.edge - game.edge_begin[static_cast<size_t>(raw.node)]});
    }
    return std::vector<std::pair<int, int>>(seen.begin(), seen.end());
}

strategy_listing_t listing_of(const ra_product_t& product, const env_game_t& game, const env_strategy_t& strategy) {
    const std::vector<raw_state_t> states = explore(game, strategy);
    const std::vector<int> block = bisimulation_blocks(product, game, states);
    // Number the blocks breadth-first from the initial state's.
    const int block_count = states.empty() ? 0 : *std::max_element(block.begin(), block.end()) + 1;
    std::vector<int> representative(static_cast<size_t>(block_count), -1);
    for (size_t s = 0; s < states.size(); ++s) {
        if (representative[static_cast<size_t>(block[s])] < 0) representative[static_cast<size_t>(block[s])] = static_cast<int>(s);
    }
    std::vector<int> order, name(static_cast<size_t>(block_count), -1);
    std::deque<int> queue;
    if (block_count > 0) {
        name[static_cast<size_t>(block[0])] = 0;
        order.push_back(block[0]);
        queue.push_back(block[0]);
    }
    while (!queue.empty()) {
        const int b = queue.front();
        queue.pop_front();
        for (int w : states[static_cast<size_t>(representative[static_cast<size_t>(b)])].next) {
            const int c = block[static_cast<size_t>(w)];
            if (name[static_cast<size_t>(c)] >= 0) continue;
            name[static_cast<size_t>(c)] = static_cast<int>(order.size());
            order.push_back(c);
            queue.push_back(c);
        }
    }
    strategy_listing_t listing;
    for (int b : order) {
        const raw_state_t& raw = states[static_cast<size_t>(representative[static_cast<size_t>(b)])];
        const auto& ps = product.states[static_cast<size_t>(raw.node)];
        const int k = raw.edge - game.edge_begin[static_cast<size_t>(raw.node)];
        listed_state_t st;
        st.move = listed_must(*product.dmts, ps.process, k);
        st.ra_state = ps.ra_state;
        for (int w : raw.next) st.next.push_back(name[static_cast<size_t>(block[static_cast<size_t>(w)])]);
        listing.states.push_back(std::move(st));
    }
    return listing;
}

void write_strategy_dot(std::ostream& out, const strategy_listing_t& listing) {
    out << "digraph strategy {\n";
    for (size_t s = 0; s < listing.states.size(); ++s) {
        const listed_state_t& st = listing.states[s];
        const std::string id = dot_id(static_cast<int>(s));
        out << id << " [label=\"" << id << "\\n" << dot_escaped(st.move.process) << " @" << st.ra_state
            << "\", shape=box" << (s == 0 ? ", style=filled" : "") << "]\n";
        if (st.next.size() == 1) {
            out << id << " -> " << dot_id(st.next[0]) << " [label=\"" << dot_escaped(st.move.alternatives[0].action)
                << "\"]\n";
            continue;
        }
        out << id << "c [label=\"\", shape=diamond]\n" << id << " -> " << id << "c\n";
        for (size_t j = 0; j < st.next.size(); ++j) {
            out << id << "c -> " << dot_id(st.next[j]) << " [label=\"" << dot_escaped(st.move.alternatives[j].action)
                << "\"]\n";
        }
    }
    out << "}\n";
}
