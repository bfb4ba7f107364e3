#include "ltl/dra.hpp"

#include "support/scc.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <queue>
#include <unordered_map>
#include <utility>

bool ltl_limits_t::too_many(std::uint64_t states, std::uint64_t letter_count) {
    if (states > static_cast<std::uint64_t>(max_states)) exceeded = true;
    if (states * letter_count > max_table_entries) exceeded = table_exceeded = true;
    return exceeded;
}

bool dra_t::is_fin_only() const {
    if (pairs.size() != 1) return false;
    for (int s = 0; s < state_count; ++s)
        if (!pairs[0].fin[static_cast<std::size_t>(s)] && !pairs[0].inf[static_cast<std::size_t>(s)]) return false;
    return true;
}

int alphabet_t::index_of(std::uint64_t set) const {
    if (!actions) return static_cast<int>(set);
    return set == 0 ? 0 : __builtin_ctzll(set) + 1;
}

dra_t constant_dra(const alphabet_t& alphabet, bool accept_all) {
    dra_t a;
    a.alphabet = alphabet;
    a.state_count = 1;
    a.delta.assign(static_cast<std::size_t>(a.letter_count()), 0);
    if (accept_all) a.pairs.push_back({{0}, {1}});
    return a;
}

namespace {

// The components of the transition graph; cyclic[c] says whether component
// c holds a cycle, so that its states can be visited infinitely often.
void components(const dra_t& a, std::vector<int>& component, std::vector<char>& cyclic) {
    std::vector<std::vector<int>> successors(static_cast<std::size_t>(a.state_count));
    std::vector<int> listed_by(static_cast<std::size_t>(a.state_count), -1);  // each successor once, without sorting 2^AP letters
    for (int s = 0; s < a.state_count; ++s) {
        std::vector<int>& list = successors[static_cast<std::size_t>(s)];
        for (int l = 0; l < a.letter_count(); ++l) {
            const int t = a.successor(s, l);
            if (listed_by[static_cast<std::size_t>(t)] == s) continue;
            listed_by[static_cast<std::size_t>(t)] = s;
            list.push_back(t);
        }
    }
    scc_result_t r = strongly_connected_components(successors);
    component = std::move(r.component);
    cyclic = std::move(r.cyclic);
}

// Keeps the states reachable from the start, numbered breadth-first.
void keep_reachable(dra_t& a) {
    const int letters = a.letter_count();
    std::vector<int> number(static_cast<std::size_t>(a.state_count), -1);
    std::vector<int> order;
    number[static_cast<std::size_t>(a.start)] = 0;
    order.push_back(a.start);
    for (std::size_t i = 0; i < order.size(); ++i)
        for (int l = 0; l < letters; ++l) {
            const int t = a.successor(order[i], l);
            if (number[static_cast<std::size_t>(t)] < 0) {
                number[static_cast<std::size_t>(t)] = static_cast<int>(order.size());
                order.push_back(t);
            }
        }
    dra_t r;
    r.alphabet = a.alphabet;
    r.state_count = static_cast<int>(order.size());
    r.start = 0;
    r.delta.resize(order.size() * static_cast<std::size_t>(letters));
    for (std::size_t i = 0; i < order.size(); ++i)
        for (int l = 0; l < letters; ++l)
            r.delta[i * static_cast<std::size_t>(letters) + static_cast<std::size_t>(l)] =
                number[static_cast<std::size_t>(a.successor(order[i], l))];
    for (const rabin_pair_t& p : a.pairs) {
        rabin_pair_t q;
        for (int s : order) {
            q.fin.push_back(p.fin[static_cast<std::size_t>(s)]);
            q.inf.push_back(p.inf[static_cast<std::size_t>(s)]);
        }
        r.pairs.push_back(std::move(q));
    }
    a = std::move(r);
}

bool subset(const std::vector<char>& x, const std::vector<char>& y) {
    for (std::size_t i = 0; i < x.size(); ++i)
        if (x[i] && !y[i]) return false;
    return true;
}

// Only states on cycles can be visited infinitely often, and an inf state
// that is also a fin state can never make a run accept through this pair.
// A pair whose inf states are empty accepts nothing; a pair that accepts
// no more than another (more fin states, fewer inf states) adds nothing.
void simplify_pairs(dra_t& a) {
    std::vector<int> component;
    std::vector<char> cyclic;
    components(a, component, cyclic);
    std::vector<rabin_pair_t> kept;
    std::vector<char> can_accept(cyclic.size());
    for (rabin_pair_t& p : a.pairs) {
        bool any = false;
        std::fill(can_accept.begin(), can_accept.end(), 0);
        for (int s = 0; s < a.state_count; ++s) {
            const auto si = static_cast<std::size_t>(s);
            if (!cyclic[static_cast<std::size_t>(component[si])]) p.fin[si] = p.inf[si] = 0;
            if (p.fin[si]) p.inf[si] = 0;
            if (p.inf[si]) can_accept[static_cast<std::size_t>(component[si])] = 1;
        }
        // A run that ends in a component without inf states of the pair is
        // not accepted by it, whatever the component's fin states say.
        for (int s = 0; s < a.state_count; ++s) {
            const auto si = static_cast<std::size_t>(s);
            if (!can_accept[static_cast<std::size_t>(component[si])]) p.fin[si] = 0;
            any = any || p.inf[si];
        }
        if (any) kept.push_back(std::move(p));
    }
    std::vector<char> dropped(kept.size(), 0);
    for (std::size_t i = 0; i < kept.size(); ++i)
        for (std::size_t j = 0; j < kept.size() && !dropped[i]; ++j) {
            if (i == j || dropped[j]) continue;
            if (subset(kept[j].fin, kept[i].fin) && subset(kept[i].inf, kept[j].inf)) dropped[i] = 1;
        }
    a.pairs.clear();
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (!dropped[i]) a.pairs.push_back(std::move(kept[i]));
}

// A state in the inf set of a pair whose fin set misses the state's whole
// component makes every run through it infinitely often accepted by that
// pair; a run through it finitely often never looks at its marks. So its
// marks in the other pairs do not matter, and they are cleared: states that
// differed only there can then merge (G F a | F G b: which of the parts
// saw the last letter no longer splits the states where a was just seen).
// Clearing only shrinks fin sets, so every such argument stays valid.
void clear_irrelevant_marks(dra_t& a) {
    std::vector<int> component;
    std::vector<char> cyclic;
    components(a, component, cyclic);
    const std::size_t pairs = a.pairs.size();
    std::vector<std::vector<char>> fin_in(pairs, std::vector<char>(cyclic.size(), 0));
    for (std::size_t i = 0; i < pairs; ++i)
        for (int s = 0; s < a.state_count; ++s)
            if (a.pairs[i].fin[static_cast<std::size_t>(s)]) fin_in[i][static_cast<std::size_t>(component[static_cast<std::size_t>(s)])] = 1;
    for (int s = 0; s < a.state_count; ++s) {
        const auto si = static_cast<std::size_t>(s);
        const auto c = static_cast<std::size_t>(component[si]);
        for (std::size_t i = 0; i < pairs; ++i) {
            if (!a.pairs[i].inf[si] || fin_in[i][c]) continue;
            for (std::size_t j = 0; j < pairs; ++j)
                if (j != i) a.pairs[j].fin[si] = a.pairs[j].inf[si] = 0;
            break;
        }
    }
}

// A state on no cycle is visited at most once by any run, so its marks never
// matter: replacing it by a state with the same successors changes every
// run in at most one position. Returns true when some state was replaced.
bool merge_transient_states(dra_t& a) {
    std::vector<int> component;
    std::vector<char> cyclic;
    components(a, component, cyclic);
    const auto letters = static_cast<std::size_t>(a.letter_count());
    auto is_cyclic = [&](int s) { return cyclic[static_cast<std::size_t>(component[static_cast<std::size_t>(s)])] != 0; };
    std::map<std::vector<int>, int> representative;  // prefers a state on a cycle
    for (int pass = 0; pass < 2; ++pass)
        for (int s = 0; s < a.state_count; ++s) {
            if (is_cyclic(s) != (pass == 0)) continue;
            const auto row = a.delta.begin() + static_cast<long>(static_cast<std::size_t>(s) * letters);
            representative.emplace(std::vector<int>(row, row + static_cast<long>(letters)), s);
        }
    std::vector<int> target(static_cast<std::size_t>(a.state_count));
    bool changed = false;
    for (int s = 0; s < a.state_count; ++s) {
        const auto row = a.delta.begin() + static_cast<long>(static_cast<std::size_t>(s) * letters);
        target[static_cast<std::size_t>(s)] = is_cyclic(s) ? s : representative[std::vector<int>(row, row + static_cast<long>(letters))];
        changed = changed || target[static_cast<std::size_t>(s)] != s;
    }
    if (!changed) return false;
    for (int& t : a.delta) t = target[static_cast<std::size_t>(t)];
    a.start = target[static_cast<std::size_t>(a.start)];
    return true;
}

// Signature refinement (Moore's algorithm): start from the classes of equal
// pair membership and split by the classes of the successors until stable.
// Returns true when some states were merged.
bool merge_equivalent(dra_t& a) {
    const int n = a.state_count, letters = a.letter_count();
    std::vector<int> cls(static_cast<std::size_t>(n));
    int class_count = 0;
    {
        std::map<std::vector<char>, int> ids;
        for (int s = 0; s < n; ++s) {
            std::vector<char> key;
            for (const rabin_pair_t& p : a.pairs) {
                key.push_back(p.fin[static_cast<std::size_t>(s)]);
                key.push_back(p.inf[static_cast<std::size_t>(s)]);
            }
            cls[static_cast<std::size_t>(s)] = ids.emplace(key, static_cast<int>(ids.size())).first->second;
        }
        class_count = static_cast<int>(ids.size());
    }
    for (;;) {
        std::map<std::vector<int>, int> ids;
        std::vector<int> next(static_cast<std::size_t>(n));
        std::vector<int> key(static_cast<std::size_t>(letters) + 1);
        for (int s = 0; s < n; ++s) {
            key[0] = cls[static_cast<std::size_t>(s)];
            for (int l = 0; l < letters; ++l)
                key[static_cast<std::size_t>(l) + 1] = cls[static_cast<std::size_t>(a.successor(s, l))];
            next[static_cast<std::size_t>(s)] = ids.emplace(key, static_cast<int>(ids.size())).first->second;
        }
        const int count = static_cast<int>(ids.size());
        cls.swap(next);
        if (count == class_count) break;
        class_count = count;
    }
    if (class_count == n) return false;
    dra_t r;
    r.alphabet = a.alphabet;
    r.state_count = class_count;
    r.start = cls[static_cast<std::size_t>(a.start)];
    r.delta.resize(static_cast<std::size_t>(class_count) * static_cast<std::size_t>(letters));
    r.pairs.assign(a.pairs.size(), rabin_pair_t{std::vector<char>(static_cast<std::size_t>(class_count)),
                                                std::vector<char>(static_cast<std::size_t>(class_count))});
    for (int s = 0; s < n; ++s) {
        const auto c = static_cast<std::size_t>(cls[static_cast<std::size_t>(s)]);
        for (int l = 0; l < letters; ++l)
            r.delta[c * static_cast<std::size_t>(letters) + static_cast<std::size_t>(l)] =
                cls[static_cast<std::size_t>(a.successor(s, l))];
        for (std::size_t i = 0; i < a.pairs.size(); ++i) {
            r.pairs[i].fin[c] = a.pairs[i].fin[static_cast<std::size_t>(s)];
            r.pairs[i].inf[c] = a.pairs[i].inf[static_cast<std::size_t>(s)];
        }
    }
    a = std::move(r);
    return true;
}

// The states of `within` as components of the subgraph they span.
std::vector<std::vector<int>> sub_components(const dra_t& a, const std::vector<int>& within) {
    std::vector<int> local(static_cast<std::size_t>(a.state_count), -1);
    for (std::size_t i = 0; i < within.size(); ++i) local[static_cast<std::size_t>(within[i])] = static_cast<int>(i);
    std::vector<std::vector<int>> successors(within.size());
    for (std::size_t i = 0; i < within.size(); ++i) {
        for (int l = 0; l < a.letter_count(); ++l) {
            const int t = local[static_cast<std::size_t>(a.successor(within[i], l))];
            if (t >= 0) successors[i].push_back(t);
        }
        std::sort(successors[i].begin(), successors[i].end());
        successors[i].erase(std::unique(successors[i].begin(), successors[i].end()), successors[i].end());
    }
    const scc_result_t r = strongly_connected_components(successors);
    std::vector<std::vector<int>> groups(r.cyclic.size());
    for (std::size_t i = 0; i < within.size(); ++i)
        if (r.cyclic[static_cast<std::size_t>(r.component[i])])
            groups[static_cast<std::size_t>(r.component[i])].push_back(within[i]);
    std::vector<std::vector<int>> result;
    for (std::vector<int>& g : groups)
        if (!g.empty()) result.push_back(std::move(g));
    return result;
}

// Marks every state that reaches one of the marked states.
void close_backwards(const dra_t& a, std::vector<char>& marked) {
    std::vector<std::vector<int>> predecessors(static_cast<std::size_t>(a.state_count));
    for (int s = 0; s < a.state_count; ++s)
        for (int l = 0; l < a.letter_count(); ++l) predecessors[static_cast<std::size_t>(a.successor(s, l))].push_back(s);
    std::vector<int> queue;
    for (int s = 0; s < a.state_count; ++s)
        if (marked[static_cast<std::size_t>(s)]) queue.push_back(s);
    while (!queue.empty()) {
        const int s = queue.back();
        queue.pop_back();
        for (int p : predecessors[static_cast<std::size_t>(s)])
            if (!marked[static_cast<std::size_t>(p)]) {
                marked[static_cast<std::size_t>(p)] = 1;
                queue.push_back(p);
            }
    }
}

// States from which some run is accepted: for some pair, a cycle outside
// its fin states through one of its inf states is reachable.
std::vector<char> nonempty_states(const dra_t& a) {
    std::vector<char> marked(static_cast<std::size_t>(a.state_count), 0);
    for (const rabin_pair_t& p : a.pairs) {
        std::vector<int> allowed;
        for (int s = 0; s < a.state_count; ++s)
            if (!p.fin[static_cast<std::size_t>(s)]) allowed.push_back(s);
        for (const std::vector<int>& c : sub_components(a, allowed))
            for (int s : c)
                if (p.inf[static_cast<std::size_t>(s)]) {
                    for (int t : c) marked[static_cast<std::size_t>(t)] = 1;
                    break;
                }
    }
    close_backwards(a, marked);
    return marked;
}

// States from which some run is rejected: a reachable cycle that, for every
// pair, meets its fin states or misses its inf states. A component that
// fails this for some pair can only hold such cycles away from that pair's
// inf states, so those are removed and the rest split again (the usual
// Streett emptiness check, with a work list instead of recursion).
std::vector<char> rejecting_states(const dra_t& a) {
    std::vector<char> marked(static_cast<std::size_t>(a.state_count), 0);
    std::vector<int> all(static_cast<std::size_t>(a.state_count));
    for (int s = 0; s < a.state_count; ++s) all[static_cast<std::size_t>(s)] = s;
    std::vector<std::vector<int>> work = sub_components(a, all);
    while (!work.empty()) {
        std::vector<int> c = std::move(work.back());
        work.pop_back();
        const rabin_pair_t* violated = nullptr;
        for (const rabin_pair_t& p : a.pairs) {
            bool fin = false, inf = false;
            for (int s : c) {
                fin = fin || p.fin[static_cast<std::size_t>(s)];
                inf = inf || p.inf[static_cast<std::size_t>(s)];
            }
            if (!fin && inf) {
                violated = &p;
                break;
            }
        }
        if (!violated) {
            for (int s : c) marked[static_cast<std::size_t>(s)] = 1;
            continue;
        }
        std::vector<int> rest;
        for (int s : c)
            if (!violated->inf[static_cast<std::size_t>(s)]) rest.push_back(s);
        for (std::vector<int>& d : sub_components(a, rest)) work.push_back(std::move(d));
    }
    close_backwards(a, marked);
    return marked;
}

// States that accept nothing all become one rejecting sink, and states that
// accept everything one accepting sink: equal languages, though Safra's
// construction or a product tells them apart by their acceptance marks.
void merge_trivial_languages(dra_t& a) {
    const std::vector<char> nonempty = nonempty_states(a);
    const std::vector<char> rejecting = rejecting_states(a);
    const int letters = a.letter_count();
    auto redirect = [&](auto&& is_member, bool accepting) {
        int sink = -1;
        for (int s = 0; s < a.state_count; ++s) {
            if (!is_member(s)) continue;
            if (sink < 0) sink = s;
            for (int l = 0; l < letters; ++l)
                a.delta[static_cast<std::size_t>(s) * static_cast<std::size_t>(letters) + static_cast<std::size_t>(l)] = sink;
            for (std::size_t i = 0; i < a.pairs.size(); ++i) {
                a.pairs[i].fin[static_cast<std::size_t>(s)] = 0;
                a.pairs[i].inf[static_cast<std::size_t>(s)] = accepting && i == 0;
            }
        }
    };
    redirect([&](int s) { return !nonempty[static_cast<std::size_t>(s)]; }, false);
    if (!a.pairs.empty()) redirect([&](int s) { return !rejecting[static_cast<std::size_t>(s)]; }, true);
}

}  // namespace

void reduce_dra(dra_t& a) {
    keep_reachable(a);
    merge_trivial_languages(a);
    keep_reachable(a);
    // Merging can join cycles and so change which states lie on one; a few
    // rounds reach the fixpoint in practice, and each round is sound alone.
    for (int round = 0; round < 4; ++round) {
        simplify_pairs(a);
        clear_irrelevant_marks(a);
        const bool merged = merge_equivalent(a);
        const bool replaced = merge_transient_states(a);
        if (!merged && !replaced) break;
        keep_reachable(a);
    }
}

bool make_fin_only_if_weak(dra_t& a) {
    if (a.pairs.size() != 1) return false;
    std::vector<int> component;
    std::vector<char> cyclic;
    components(a, component, cyclic);
    const std::size_t count = cyclic.size();
    std::vector<char> has_fin(count, 0), has_good(count, 0), has_plain(count, 0);
    const rabin_pair_t& p = a.pairs[0];
    for (int s = 0; s < a.state_count; ++s) {
        const auto si = static_cast<std::size_t>(s);
        const auto c = static_cast<std::size_t>(component[si]);
        if (p.fin[si]) has_fin[c] = 1;
        else if (p.inf[si]) has_good[c] = 1;
        else has_plain[c] = 1;
    }
    std::vector<char> rejecting(count, 0);
    for (std::size_t c = 0; c < count; ++c) {
        if (!cyclic[c]) continue;
        const bool accepting = !has_fin[c] && !has_plain[c];
        rejecting[c] = !has_good[c];
        if (!accepting && !rejecting[c]) return false;
    }
    rabin_pair_t q;
    for (int s = 0; s < a.state_count; ++s) {
        const char r = rejecting[static_cast<std::size_t>(component[static_cast<std::size_t>(s)])];
        q.fin.push_back(r);
        q.inf.push_back(!r);
    }
    a.pairs[0] = std::move(q);
    return true;
}

namespace {

// Breadth-first synchronous product; flag_count > 1 adds the two-phase flag
// of the conjunction of two one-pair automata.
bool product(const dra_t& a, const dra_t& b, int flag_count, ltl_limits_t& limits, dra_t& r,
             std::vector<std::array<int, 3>>& tuples) {
    const int letters = a.letter_count();
    std::unordered_map<unsigned long long, int> ids;
    auto key = [&](int x, int y, int f) {
        return (static_cast<unsigned long long>(x) * static_cast<unsigned long long>(b.state_count) +
                static_cast<unsigned long long>(y)) * 3ull + static_cast<unsigned long long>(f);
    };
    r = dra_t{};
    r.alphabet = a.alphabet;
    tuples.clear();
    tuples.push_back({a.start, b.start, 0});
    ids.emplace(key(a.start, b.start, 0), 0);
    for (std::size_t i = 0; i < tuples.size(); ++i) {
        const auto [x, y, f] = tuples[i];
        for (int l = 0; l < letters; ++l) {
            const int x2 = a.successor(x, l), y2 = b.successor(y, l);
            int f2 = 0;
            if (flag_count > 1) {
                f2 = f == 2 ? 0 : f;
                if (f2 == 0 && a.pairs[0].inf[static_cast<std::size_t>(x2)]) f2 = 1;
                if (f2 == 1 && b.pairs[0].inf[static_cast<std::size_t>(y2)]) f2 = 2;
            }
            auto found = ids.emplace(key(x2, y2, f2), static_cast<int>(tuples.size()));
            if (found.second) {
                if (limits.too_many(tuples.size() + 1, static_cast<std::uint64_t>(letters))) return false;
                tuples.push_back({x2, y2, f2});
            }
            r.delta.push_back(found.first->second);
        }
    }
    r.state_count = static_cast<int>(tuples.size());
    return true;
}

rabin_pair_t lift(const rabin_pair_t& p, const std::vector<std::array<int, 3>>& tuples, int side) {
    rabin_pair_t q;
    for (const auto& t : tuples) {
        q.fin.push_back(p.fin[static_cast<std::size_t>(t[static_cast<std::size_t>(side)])]);
        q.inf.push_back(p.inf[static_cast<std::size_t>(t[static_cast<std::size_t>(side)])]);
    }
    return q;
}

}  // namespace

bool dra_or(const dra_t& a, const dra_t& b, ltl_limits_t& limits, dra_t& result) {
    std::vector<std::array<int, 3>> tuples;
    if (!product(a, b, 1, limits, result, tuples)) return false;
    for (const rabin_pair_t& p : a.pairs) result.pairs.push_back(lift(p, tuples, 0));
    for (const rabin_pair_t& p : b.pairs) result.pairs.push_back(lift(p, tuples, 1));
    return true;
}

bool dra_and(const dra_t& a, const dra_t& b, ltl_limits_t& limits, dra_t& result) {
    if (a.pairs.empty() || b.pairs.empty()) {
        result = constant_dra(a.alphabet, false);
        return true;
    }
    std::vector<std::array<int, 3>> tuples;
    if (b.is_fin_only() || a.is_fin_only()) {
        const bool b_fin = b.is_fin_only();
        const dra_t& rabin = b_fin ? a : b;
        const dra_t& fin_only = b_fin ? b : a;
        if (!product(a, b, 1, limits, result, tuples)) return false;
        const int rabin_side = b_fin ? 0 : 1;
        const rabin_pair_t extra = lift(fin_only.pairs[0], tuples, 1 - rabin_side);
        for (const rabin_pair_t& p : rabin.pairs) {
            rabin_pair_t q = lift(p, tuples, rabin_side);
            for (std::size_t s = 0; s < q.fin.size(); ++s) q.fin[s] = q.fin[s] || extra.fin[s];
            result.pairs.push_back(std::move(q));
        }
        return true;
    }
    if (a.pairs.size() != 1 || b.pairs.size() != 1) return false;
    if (!product(a, b, 3, limits, result, tuples)) return false;
    rabin_pair_t q;
    for (const auto& t : tuples) {
        q.fin.push_back(a.pairs[0].fin[static_cast<std::size_t>(t[0])] || b.pairs[0].fin[static_cast<std::size_t>(t[1])]);
        q.inf.push_back(t[2] == 2);
    }
    result.pairs.push_back(std::move(q));
    return true;
}

bool is_buchi(const dra_t& a) {
    if (a.pairs.size() != 1) return false;
    for (char f : a.pairs[0].fin)
        if (f) return false;
    return true;
}

bool dra_and_buchi(const std::vector<const dra_t*>& parts, ltl_limits_t& limits, dra_t& result) {
    const std::size_t k = parts.size();
    const int letters = parts[0]->letter_count();
    // A tuple: each part's state, then the index of the part whose inf
    // states it waits for (k: all seen, the accepting phase).
    std::map<std::vector<int>, int> ids;
    std::vector<std::vector<int>> tuples;
    // A part whose states all have the same successors (G F a: the state
    // only records the last letter) forgets its state once the phase has
    // seen it; otherwise the tuples would count the distinct letters.
    std::vector<char> memoryless(k, 1);
    for (std::size_t j = 0; j < k; ++j) {
        const dra_t& a = *parts[j];
        for (int s = 1; s < a.state_count && memoryless[j]; ++s)
            memoryless[j] = std::equal(a.delta.begin() + static_cast<std::ptrdiff_t>(s) * letters,
                                       a.delta.begin() + static_cast<std::ptrdiff_t>(s + 1) * letters, a.delta.begin());
    }
    std::vector<int> start;
    for (std::size_t j = 0; j < k; ++j) start.push_back(memoryless[j] ? 0 : parts[j]->start);
    start.push_back(0);
    tuples.push_back(start);
    ids.emplace(start, 0);
    result = dra_t{};
    result.alphabet = parts[0]->alphabet;
    for (std::size_t i = 0; i < tuples.size(); ++i)
        for (int l = 0; l < letters; ++l) {
            std::vector<int> next(k + 1);
            for (std::size_t j = 0; j < k; ++j) next[j] = parts[j]->successor(tuples[i][j], l);
            auto phase = static_cast<std::size_t>(tuples[i][k]);
            if (phase == k) phase = 0;
            while (phase < k && parts[phase]->pairs[0].inf[static_cast<std::size_t>(next[phase])]) ++phase;
            next[k] = static_cast<int>(phase);
            for (std::size_t j = 0; j < k; ++j)
                if (memoryless[j]) next[j] = 0;
            auto found = ids.emplace(next, static_cast<int>(tuples.size()));
            if (found.second) {
                if (limits.too_many(tuples.size() + 1, static_cast<std::uint64_t>(letters))) return false;
                tuples.push_back(std::move(next));
            }
            result.delta.push_back(found.first->second);
        }
    result.state_count = static_cast<int>(tuples.size());
    rabin_pair_t p;
    for (const std::vector<int>& t : tuples) {
        p.fin.push_back(0);
        p.inf.push_back(static_cast<std::size_t>(t[k]) == k);
    }
    result.pairs.push_back(std::move(p));
    return true;
}

bool dra_accepts(const dra_t& a, const std::vector<std::uint64_t>& prefix, const std::vector<std::uint64_t>& cycle) {
    int s = a.start;
    for (std::uint64_t l : prefix) s = a.successor(s, a.alphabet.index_of(l));
    // The state at the start of each pass through the cycle repeats after at
    // most state_count passes; the passes from its first occurrence on repeat forever.
    std::vector<int> pass_of(static_cast<std::size_t>(a.state_count), -1);
    int pass = 0;
    while (pass_of[static_cast<std::size_t>(s)] < 0) {
        pass_of[static_cast<std::size_t>(s)] = pass++;
        for (std::uint64_t l : cycle) s = a.successor(s, a.alphabet.index_of(l));
    }
    const int loop_passes = pass - pass_of[static_cast<std::size_t>(s)];
    std::vector<char> infinite(static_cast<std::size_t>(a.state_count), 0);
    for (int p = 0; p < loop_passes; ++p)
        for (std::uint64_t l : cycle) {
            infinite[static_cast<std::size_t>(s)] = 1;
            s = a.successor(s, a.alphabet.index_of(l));
        }
    for (const rabin_pair_t& p : a.pairs) {
        bool fin_seen = false, inf_seen = false;
        for (int t = 0; t < a.state_count; ++t) {
            if (!infinite[static_cast<std::size_t>(t)]) continue;
            fin_seen = fin_seen || p.fin[static_cast<std::size_t>(t)];
            inf_seen = inf_seen || p.inf[static_cast<std::size_t>(t)];
        }
        if (!fin_seen && inf_seen) return true;
    }
    return false;
}
