// The sets of the Rabin recursion without ranks (rabin_regions.hpp): the
// Piterman-Pnueli fixpoint formula per pair, solved as a Rabin game, with
// Emerson-Lei bounds from the kept evaluations; a repeat costs one lookup.
#include "product/rabin_regions.hpp"

#include <algorithm>

#include "product/pair_fixpoint.hpp"

rabin_regions_t::rabin_regions_t(const game_view_t& source, pair_fixpoint_t& engine)
    : view(source), one_pair(engine), n(source.n), pair_count(source.pair_count()), game(source) {
    for (uint32_t l = 0; l < pair_count; ++l) {
        good_minus_bad.push_back(view.good[l]);
        good_minus_bad.back().subtract(view.bad[l]);
    }
    // Keep the evaluations of all levels within a fixed budget: an entry
    // holds about pairs + 2 sets, and there are at most 2^pairs levels.
    constexpr std::size_t budget = std::size_t{128} << 20;
    const std::size_t set_bytes = std::size_t{bitset_t::words_for(n)} * 4 + 64;
    const std::size_t level_count = std::size_t{1} << std::min<uint32_t>(pair_count, 16);
    const std::size_t per_level = budget / (level_count * (pair_count + 2) * set_bytes);
    entries_per_level = std::clamp<std::size_t>(per_level, 2, 4);
}

bitset_t rabin_regions_t::region(uint64_t pairs, const bitset_t& allowed, const bitset_t& goal,
                                 const bitset_t* bound) {
    return evaluate(pairs, allowed, goal, bound).result;
}

std::vector<bitset_t> rabin_regions_t::pair_regions(uint64_t pairs, const bitset_t& allowed,
                                                    const bitset_t& goal) {
    return evaluate(pairs, allowed, goal, nullptr).pair_sets;
}

const rabin_regions_t::entry_t& rabin_regions_t::evaluate(uint64_t pairs, const bitset_t& allowed,
                                                          const bitset_t& goal, const bitset_t* bound) {
    const uint64_t now = ++clock;
    {
        level_t& level = levels[pairs];
        if (level.allowed.capacity() != n || !level.allowed.equals(allowed)) {
            level.allowed = allowed;
            level.entries.clear();
        }
        for (entry_t& e : level.entries)
            if (e.goal.equals(goal)) {
                e.last_use = now;
                return e;
            }
    }

    // Bounds for every Y_l from the evaluations at other goals. Y_l contains
    // goal, and lies within allowed - bad_l plus goal, a set that the
    // operator maps into itself.
    std::vector<bitset_t> lower(pair_count);
    std::vector<bitset_t> upper(pair_count);
    for_each_pair(pairs, [&](uint32_t l) {
        lower[l] = goal;
        upper[l] = view.allowed_without_bad(l, allowed);
        upper[l].unite_with(goal);
    });
    for (entry_t& e : levels[pairs].entries) {
        const bool below = is_subset(e.goal, goal);
        const bool above = is_subset(goal, e.goal);
        if (!below && !above) continue;
        e.last_use = now;
        for_each_pair(pairs, [&](uint32_t l) {
            if (below) lower[l].unite_with(e.pair_sets[l]);
            if (above) upper[l].intersect_with(e.pair_sets[l]);
        });
    }

    entry_t computed{goal, bitset_t(n, BS_EMPTY), std::vector<bitset_t>(pair_count), now};
    for_each_pair(pairs, [&](uint32_t l) {
        computed.pair_sets[l] = pair_region(pairs, l, allowed, goal, std::move(upper[l]), lower[l], bound);
        computed.result.unite_with(computed.pair_sets[l]);
    });

    // The nested evaluations ran for smaller sets of pairs, so this level
    // has no entry for this goal yet.
    level_t& level = levels[pairs];
    if (level.entries.size() < entries_per_level) {
        level.entries.push_back(std::move(computed));
        return level.entries.back();
    }
    entry_t& oldest = *std::min_element(level.entries.begin(), level.entries.end(),
                                        [](const entry_t& a, const entry_t& b) { return a.last_use < b.last_use; });
    oldest = std::move(computed);
    return oldest;
}

bitset_t rabin_regions_t::pair_region(uint64_t pairs, uint32_t l, const bitset_t& allowed, const bitset_t& goal,
                                      bitset_t y, const bitset_t& lower, const bitset_t* bound) {
    const uint64_t rest = without_pair(pairs, l);
    const bitset_t allowed_l = view.allowed_without_bad(l, allowed);
    const bitset_t good_l = view.good_within(l, allowed);
    if (rest == 0) {
        // The one-pair engine finds the greatest fixpoint incrementally, from
        // any set that holds it.
        if (bound != nullptr) y.intersect_with(*bound);
        if (is_subset(y, lower)) return y;  // the bounds meet
        bitset_t base(n, BS_EMPTY);
        return one_pair.greatest(allowed_l, good_l, goal, base, &y);
    }
    // Y_l is the implementation's region of the game played within
    // allowed_l: reach goal, or see good_l infinitely often, or satisfy one
    // of the other pairs. The bounds shrink the game: states outside y are
    // lost, and those of lower are won.
    bitset_t arena = std::move(y);
    arena.intersect_with(allowed_l);
    if (bound != nullptr) arena.intersect_with(*bound);
    std::vector<rabin_game_t::pair_sets_t> game_pairs{{&good_l, nullptr}};
    for_each_pair(rest, [&](uint32_t m) { game_pairs.push_back({&good_minus_bad[m], &view.bad[m]}); });
    return game.winning(arena, lower, game_pairs);
}
