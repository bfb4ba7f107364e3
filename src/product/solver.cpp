// The Rabin game on the product: state nodes belong to the opponent, choice
// nodes to the implementation. The winning region is the least fixpoint of
// Rabin(all pairs, every state, cpred(Y)); the rank of a state is the step
// counter's value when it joined, and best_rank the least rank among the
// winning successors of a winning choice node. Rabin() is the nested fixpoint
// over the acceptance pairs, every order of the pairs explored down the
// recursion, at a cost that grows with the factorial of the pair count;
// rabin_solver_t (rabin_solver.hpp) returns the same set, ranks and counter
// at a cost that follows the game instead. cpred is the game view's one pass
// over the edges (game_view.hpp), O(n + m) for n states and m edges, and so
// is the best-rank pass.
#include "product/product.hpp"
#include "product/game_view.hpp"
#include "product/rabin_solver.hpp"

bitset_t ra_product_t::cpred(const bitset_t& x) const {
    // A call on its own builds the view first; solve() asks its solver's.
    return game_view_t(*this).cpred(x);
}

namespace {

uint64_t pair_mask(const bitset_t& pairs) {
    uint64_t mask = 0;
    for (uint32_t l = pairs.next(0); l < pairs.capacity(); l = pairs.next(l + 1)) mask |= uint64_t{1} << l;
    return mask;
}

}  // namespace

bitset_t ra_product_t::Rabin(const bitset_t& pairs, const bitset_t& allowed, const bitset_t& goal,
                             bitset_t& ranked, uint32_t& counter) {
    // A call on its own sets up the solver's views of the game first; solve()
    // keeps one solver for all its calls.
    rabin_solver_t solver(*this);
    return solver.Rabin(pair_mask(pairs), allowed, goal, ranked, counter);
}

void ra_product_t::solve() {
    const uint32_t n = static_cast<uint32_t>(state_count);
    state_nodes = std::make_unique<bitset_t>(n, BS_EMPTY);
    for (uint32_t s = 0; s < n; ++s)
        if (states[s].choice < 0) state_nodes->set(s);
    rank.assign(n, 0);
    rabin_solver_t solver(*this);

    uint32_t counter = 0;
    bitset_t ranked(n, BS_EMPTY);
    const bitset_t pairs(static_cast<uint32_t>(good.size()), BS_FULL);
    const uint64_t all_pairs = pair_mask(pairs);
    const bitset_t everything(n, BS_FULL);
    bitset_t y(n, BS_EMPTY);
    for (bool first = true;; first = false) {  // least fixpoint over the winning region
        bitset_t goal = solver.game_view().cpred(y);
        // With one pair, a region just returned that already holds every state
        // able to force a step into it is stable: the next round would return
        // it unchanged, and so rank nothing, as every member has its rank.
        if (!first && pairs.capacity() == 1) {
            bitset_t outside = goal;
            outside.subtract(y);
            if (outside.is_empty()) break;
        }
        bitset_t next = solver.Rabin(all_pairs, everything, goal, ranked, counter);
        const bool stable = next.equals(y);
        y = std::move(next);
        if (stable) break;
    }
    win = std::make_unique<bitset_t>(y);

    // Least rank among the winning successors of each winning choice node; a
    // later edge replaces the value only with a strictly smaller rank.
    best_rank.assign(n, 0);
    for (uint32_t s = win->next(0); s < n; s = win->next(s + 1)) {
        if (states[s].choice < 0) continue;
        bool found = false;
        for (uint32_t e = edge_begin[s]; e < edge_begin[s + 1]; ++e) {
            const uint32_t t = static_cast<uint32_t>(edges[e].target);
            if (!win->test(t)) continue;
            if (!found || rank[t] < best_rank[s]) best_rank[s] = rank[t];
            found = true;
        }
    }
    state_nodes.reset();
}
