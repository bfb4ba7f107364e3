// Zielonka's recursive algorithm for Rabin games (rabin_game.hpp) with the
// two-player attractor it is built from, O(n + m) per attractor.
#include "product/rabin_game.hpp"

#include <limits>

namespace {

bool meets(const bitset_t& a, const bitset_t& b) {
    const uint32_t* x = a.data();
    const uint32_t* y = b.data();
    for (uint32_t w = 0; w < a.word_count(); ++w)
        if ((x[w] & y[w]) != 0) return true;
    return false;
}

// Whether set has fewer than limit members; sparse sets are counted fast,
// and the count stops at the limit.
bool fewer_than(const bitset_t& set, uint32_t limit) {
    const uint32_t* words = set.data();
    uint32_t total = 0;
    for (uint32_t w = 0; w < set.word_count(); ++w)
        if (words[w] != 0 && (total += static_cast<uint32_t>(__builtin_popcount(words[w]))) >= limit) return false;
    return true;
}

}  // namespace

rabin_game_t::rabin_game_t(const game_view_t& game)
    : view(game), pred(game.pred), n(game.n), open_moves(n, 0), stamp(n, 0) {
    queue.reserve(n);
}

bool rabin_game_t::owned_by(player_t player, uint32_t s) const {
    return view.is_choice(s) == (player == player_t::implementation);
}

void rabin_game_t::attract(player_t player, const bitset_t& arena, bitset_t& region, const bitset_t& joinable,
                           start_t start) {
    if (attractor_stamp == std::numeric_limits<uint32_t>::max()) {
        std::fill(stamp.begin(), stamp.end(), 0);
        attractor_stamp = 0;
    }
    const uint32_t now = ++attractor_stamp;
    // A state of the other player is forced once every move it has within
    // the arena leads into the region; open_moves counts the moves not yet
    // known to lead there.
    queue.clear();
    if (start == start_t::from_candidates) {
        // Each candidate is looked at once, rather than every member's
        // predecessors: the cheaper side when few states may join. The
        // counts leave out the moves into the region as it is now; only the
        // states that join from here on lower them.
        bitset_t candidates = joinable;
        candidates.subtract(region);
        for (uint32_t s = candidates.next(0); s < n; s = candidates.next(s + 1)) {
            uint32_t moves = 0;
            uint32_t inside = 0;
            for (uint32_t e = view.edge_begin[s]; e < view.edge_begin[s + 1]; ++e) {
                const uint32_t t = static_cast<uint32_t>(view.edges[e].target);
                moves += arena.test(t);
                inside += arena.test(t) && region.test(t);
            }
            stamp[s] = now;
            open_moves[s] = moves - inside;
            if (owned_by(player, s) ? inside > 0 : moves > 0 && moves == inside) queue.push_back(s);
        }
        for (uint32_t s : queue) region.set(s);
    } else {
        // Every member's predecessors are visited, so each move into the
        // region lowers a count once; a count starts at all arena moves.
        for (uint32_t s = region.next(0); s < n; s = region.next(s + 1)) queue.push_back(s);
    }
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const uint32_t t = queue[i];
        for (uint32_t p = pred.begin[t]; p < pred.begin[t + 1]; ++p) {
            const uint32_t s = predecessors_t::state_of(pred.source[p]);
            if (region.test(s) || !joinable.test(s)) continue;
            if (!owned_by(player, s)) {
                if (stamp[s] != now) {
                    stamp[s] = now;
                    uint32_t moves = 0;
                    for (uint32_t e = view.edge_begin[s]; e < view.edge_begin[s + 1]; ++e)
                        moves += arena.test(static_cast<uint32_t>(view.edges[e].target));
                    open_moves[s] = moves;
                }
                if (--open_moves[s] != 0) continue;
            }
            region.set(s);
            queue.push_back(s);
        }
    }
}

bitset_t rabin_game_t::winning(const bitset_t& arena, const bitset_t& targets,
                               const std::vector<pair_sets_t>& pair_sets) {
    pairs = pair_sets;
    const bitset_t everything(n, BS_FULL);
    // Won at once: the targets and the arena's state nodes without moves,
    // then whatever the implementation forces into them.
    bitset_t won = view.dead_end_states;
    won.intersect_with(arena);
    won.unite_with(targets);
    bitset_t open = arena;
    open.subtract(won);
    // Known won states make the targets large and the rest small (then the
    // few open states are looked at); a first evaluation has it the other
    // way round, and then the targets' predecessors are.
    const start_t start = fewer_than(open, n / 8 + 1) ? start_t::from_candidates : start_t::from_region;
    attract(player_t::implementation, everything, won, open, start);
    open.subtract(won);
    // Lost at once: everything outside the arena and the targets, and the
    // choice nodes without moves; then whatever the opponent forces there.
    bitset_t lost = open;
    lost.unite_with(won);
    lost = lost.complement();
    bitset_t stuck = view.dead_end_choices;
    stuck.intersect_with(open);
    lost.unite_with(stuck);
    open.subtract(lost);
    attract(player_t::opponent, everything, lost, open, start_t::from_candidates);
    open.subtract(lost);
    // What is left is a subgame: the opponent's moves into won are never
    // worth taking, and the implementation has none.
    const uint64_t all = pairs.size() == 64 ? ~uint64_t{0} : (uint64_t{1} << pairs.size()) - 1;
    won.unite_with(closed(std::move(open), all));
    return won;
}

bitset_t rabin_game_t::closed(bitset_t s, uint64_t mask) {
    bitset_t result(n, BS_EMPTY);
    for (uint32_t i = 0; i < pairs.size(); ++i)
        if ((mask >> i & 1u) && !meets(*pairs[i].good, s)) mask &= ~(uint64_t{1} << i);
    if (mask == 0 || s.is_empty()) return result;
    // Try the pairs in turn until a whole round wins nothing more.
    uint32_t failures = 0;
    const uint32_t live = static_cast<uint32_t>(__builtin_popcountll(mask));
    for (uint32_t i = 0; failures < live && !s.is_empty(); i = (i + 1) % static_cast<uint32_t>(pairs.size())) {
        if (!(mask >> i & 1u)) continue;
        ++failures;
        bitset_t u = s;
        if (pairs[i].bad != nullptr) {
            bitset_t avoided = *pairs[i].bad;
            avoided.intersect_with(s);
            if (!avoided.is_empty()) {
                attract(player_t::opponent, s, avoided, s, start_t::from_region);
                u.subtract(avoided);
            }
        }
        if (!meets(*pairs[i].good, u)) continue;
        bitset_t won = buchi_or(std::move(u), i, mask & ~(uint64_t{1} << i));
        if (won.is_empty()) continue;
        attract(player_t::implementation, s, won, s, start_t::from_region);
        s.subtract(won);
        result.unite_with(won);
        failures = 0;
    }
    return result;
}

bitset_t rabin_game_t::buchi_or(bitset_t u, uint32_t i, uint64_t rest) {
    for (;;) {
        if (u.is_empty()) return u;
        bitset_t reached = *pairs[i].good;
        reached.intersect_with(u);
        attract(player_t::implementation, u, reached, u, start_t::from_region);
        bitset_t avoiding = u;
        avoiding.subtract(reached);
        if (avoiding.is_empty()) return u;
        // Where the opponent keeps the play off good_i, the implementation
        // needs the other pairs; what it loses there it loses in u.
        bitset_t lost = avoiding;
        if (rest != 0) lost.subtract(closed(avoiding, rest));
        if (lost.is_empty()) return u;
        attract(player_t::opponent, u, lost, u, start_t::from_region);
        u.subtract(lost);
    }
}
