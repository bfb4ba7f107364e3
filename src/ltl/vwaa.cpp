#include "ltl/vwaa.hpp"

#include <algorithm>
#include <tuple>

bool is_subset(const state_set_t& a, const state_set_t& b) {
    return std::includes(b.begin(), b.end(), a.begin(), a.end());
}

state_set_t set_union(const state_set_t& a, const state_set_t& b) {
    state_set_t r;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(r));
    return r;
}

namespace {

// Drops duplicate and dominated terms: (c1, e1) is useless beside (c2, e2)
// when every letter of c1 is one of c2 and e2 asks no more than e1.
std::vector<vwaa_term_t> without_dominated(std::vector<vwaa_term_t> terms) {
    std::vector<char> dropped(terms.size(), 0);
    for (std::size_t i = 0; i < terms.size(); ++i)
        for (std::size_t j = 0; j < terms.size() && !dropped[i]; ++j) {
            if (i == j || dropped[j]) continue;
            if (terms[i].cube.implies(terms[j].cube) && is_subset(terms[j].states, terms[i].states)) dropped[i] = 1;
        }
    std::vector<vwaa_term_t> kept;
    for (std::size_t i = 0; i < terms.size(); ++i)
        if (!dropped[i]) kept.push_back(std::move(terms[i]));
    return kept;
}

// The distinct sets of r that contain no other set of r: a configuration that
// needs more states than another is never needed to accept a word.
std::vector<state_set_t> minimal_sets(std::vector<state_set_t> r) {
    std::sort(r.begin(), r.end());
    r.erase(std::unique(r.begin(), r.end()), r.end());
    std::vector<state_set_t> kept;
    for (std::size_t i = 0; i < r.size(); ++i) {
        bool superset = false;
        for (std::size_t j = 0; j < r.size() && !superset; ++j)
            superset = j != i && is_subset(r[j], r[i]);
        if (!superset) kept.push_back(r[i]);
    }
    return kept;
}

std::vector<vwaa_term_t> disjoin(const std::vector<vwaa_term_t>& a, const std::vector<vwaa_term_t>& b) {
    std::vector<vwaa_term_t> r(a);
    r.insert(r.end(), b.begin(), b.end());
    return without_dominated(std::move(r));
}

}  // namespace

std::vector<vwaa_term_t> conjoin(const std::vector<vwaa_term_t>& a, const std::vector<vwaa_term_t>& b,
                                 bool drop_dominated) {
    std::vector<vwaa_term_t> r;
    for (const vwaa_term_t& x : a)
        for (const vwaa_term_t& y : b) {
            cube_t c{x.cube.pos | y.cube.pos, x.cube.neg | y.cube.neg};
            if (c.pos & c.neg) continue;
            r.push_back({c, set_union(x.states, y.states)});
        }
    if (drop_dominated) return without_dominated(std::move(r));
    return r;
}

std::vector<state_set_t> vwaa_t::initial(int f) {
    // Conjunctions and disjunctions are taken apart; every other formula is a state.
    switch (pool.op(f)) {
    case ltl_op_t::constant_true: return {state_set_t{}};
    case ltl_op_t::constant_false: return {};
    case ltl_op_t::or_op: {
        std::vector<state_set_t> r = initial(pool.node(f).left);
        for (state_set_t& s : initial(pool.node(f).right)) r.push_back(std::move(s));
        if (r.size() > max_terms) {
            overflow = true;
            return {};
        }
        return minimal_sets(std::move(r));
    }
    case ltl_op_t::and_op: {
        std::vector<state_set_t> r;
        const std::vector<state_set_t> left = initial(pool.node(f).left);
        const std::vector<state_set_t> right = initial(pool.node(f).right);
        if (left.size() * right.size() > max_terms) {
            overflow = true;
            return {};
        }
        for (const state_set_t& x : left)
            for (const state_set_t& y : right) r.push_back(set_union(x, y));
        return minimal_sets(std::move(r));
    }
    default: return {state_set_t{f}};
    }
}

const std::vector<vwaa_term_t>& vwaa_t::delta(int f) {
    auto found = cache.find(f);
    if (found != cache.end()) return found->second;
    const ltl_node_t n = pool.node(f);
    std::vector<vwaa_term_t> r;
    switch (n.op) {
    case ltl_op_t::constant_true: r.push_back({}); break;
    case ltl_op_t::constant_false: break;
    case ltl_op_t::prop: {
        const std::uint64_t bit = std::uint64_t{1} << n.left;
        r.push_back({cube_t{bit, actions ? ~bit : 0}, {}});
        break;
    }
    case ltl_op_t::not_prop: r.push_back({cube_t{0, std::uint64_t{1} << n.left}, {}}); break;
    case ltl_op_t::and_op: r = conjoin_bounded(delta(n.left), delta(n.right), true); break;
    case ltl_op_t::or_op: r = disjoin_bounded(delta(n.left), delta(n.right)); break;
    case ltl_op_t::next:
        for (state_set_t& s : initial(n.left)) r.push_back({cube_t{}, std::move(s)});
        break;
    case ltl_op_t::until: {  // b, or a and again a U b
        const std::vector<vwaa_term_t> stay{{cube_t{}, state_set_t{f}}};
        r = disjoin_bounded(delta(n.right), conjoin_bounded(delta(n.left), stay, true));
        break;
    }
    case ltl_op_t::release: {  // b, and either a or again a R b
        std::vector<vwaa_term_t> stay{{cube_t{}, state_set_t{f}}};
        r = conjoin_bounded(delta(n.right), disjoin_bounded(delta(n.left), stay), true);
        break;
    }
    }
    for (const vwaa_term_t& t : r) stored += t.states.size() + 1;
    if (stored > max_stored) {
        overflow = true;
        r.clear();
    }
    return cache.emplace(f, std::move(r)).first->second;
}

std::vector<vwaa_term_t> vwaa_t::conjoin_bounded(const std::vector<vwaa_term_t>& a,
                                                 const std::vector<vwaa_term_t>& b, bool drop_dominated) {
    if (overflow || a.size() * b.size() > max_terms) {
        overflow = true;
        return {};
    }
    return conjoin(a, b, drop_dominated);
}

std::vector<vwaa_term_t> vwaa_t::disjoin_bounded(const std::vector<vwaa_term_t>& a, const std::vector<vwaa_term_t>& b) {
    if (overflow || a.size() + b.size() > max_terms) {
        overflow = true;
        return {};
    }
    return disjoin(a, b);
}

std::vector<vwaa_term_t> vwaa_t::delta_of_set(const state_set_t& states) {
    std::vector<vwaa_term_t> r{vwaa_term_t{}};
    for (int q : states) r = conjoin_bounded(r, delta(q), false);
    std::sort(r.begin(), r.end(), [](const vwaa_term_t& x, const vwaa_term_t& y) {
        return std::tie(x.cube.pos, x.cube.neg, x.states) < std::tie(y.cube.pos, y.cube.neg, y.states);
    });
    r.erase(std::unique(r.begin(), r.end(),
                        [](const vwaa_term_t& x, const vwaa_term_t& y) {
                            return x.cube.pos == y.cube.pos && x.cube.neg == y.cube.neg && x.states == y.states;
                        }),
            r.end());
    return r;
}
