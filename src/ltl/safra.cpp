#include "ltl/safra.hpp"

#include "support/scc.hpp"

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>
#include <utility>

namespace {

constexpr std::size_t max_until_states = 64;

struct ba_edge_t {
    cube_t cube;
    int target;
};

// The generalised Büchi automaton, degeneralised on the fly: a Büchi state is
// (generalised state, level), and level k (all sets seen) is accepting.
class buchi_t {
public:
    buchi_t(vwaa_t& vwaa, const std::vector<int>& untils, bool restart)
        : vwaa(vwaa), untils(untils), restart(restart) {}

    int state(const state_set_t& g, std::size_t level) {
        const int gid = generalised_id(g);
        auto found = ids.emplace(std::make_pair(gid, level), static_cast<int>(states.size()));
        if (found.second) {
            states.push_back({gid, level});
            edges_of.emplace_back();
            edges_done.push_back(0);
        }
        return found.first->second;
    }

    std::size_t state_count() const { return states.size(); }

    bool accepting(int b) const { return states[static_cast<std::size_t>(b)].second == untils.size(); }

    const std::vector<ba_edge_t>& edges(int b) {
        if (edges_done[static_cast<std::size_t>(b)]) return edges_of[static_cast<std::size_t>(b)];
        const auto [gid, level] = states[static_cast<std::size_t>(b)];
        const std::vector<generalised_edge_t>& gedges = edges_of_generalised[static_cast<std::size_t>(gid)];
        std::vector<ba_edge_t> result;
        for (const generalised_edge_t& e : gedges) {
            std::size_t next = level == untils.size() ? 0 : level;
            // A run ends in one component, so the count of sets seen may
            // start afresh on entering one: fewer copies of each state.
            if (restart && component[static_cast<std::size_t>(gid)] != component[static_cast<std::size_t>(e.target)])
                next = 0;
            else
                while (next < untils.size() && (e.marks >> next & 1)) ++next;
            result.push_back({e.cube, 0});
            const int target = state(gsets[static_cast<std::size_t>(e.target)], next);
            result.back().target = target;
        }
        edges_done[static_cast<std::size_t>(b)] = 1;
        return edges_of[static_cast<std::size_t>(b)] = std::move(result);
    }

    // Builds the generalised automaton reachable from starts and its
    // components; returns false when it exceeds the limit.
    bool explore(const std::vector<state_set_t>& starts, ltl_limits_t& limits) {
        for (const state_set_t& g : starts) generalised_id(g);
        for (std::size_t g = 0; g < gsets.size(); ++g) {
            if (limits.too_many(gsets.size(), 1)) return false;
            edges_of_generalised.push_back(generalised_edges(static_cast<int>(g)));
        }
        std::vector<std::vector<int>> successors(gsets.size());
        for (std::size_t g = 0; g < gsets.size(); ++g)
            for (const generalised_edge_t& e : edges_of_generalised[g]) successors[g].push_back(e.target);
        component = strongly_connected_components(successors).component;
        return true;
    }

    // Builds every state reachable from starts, then drops the states from
    // which no accepting cycle can be reached: they accept nothing, and in
    // the Safra trees they would only tell apart trees that mean the same.
    // Returns false when the automaton exceeds the limit on the way.
    bool prune(std::vector<int>& starts, ltl_limits_t& limits) {
        for (std::size_t b = 0; b < states.size(); ++b) {
            if (limits.too_many(states.size(), 1)) return false;
            edges(static_cast<int>(b));
        }
        const std::size_t n = states.size();
        std::vector<std::vector<int>> predecessors(n);
        for (std::size_t b = 0; b < n; ++b)
            for (const ba_edge_t& e : edges_of[b]) predecessors[static_cast<std::size_t>(e.target)].push_back(static_cast<int>(b));
        // The live states reach an accepting state on a cycle.
        std::vector<std::vector<int>> successors(n);
        for (std::size_t b = 0; b < n; ++b)
            for (const ba_edge_t& e : edges_of[b]) successors[b].push_back(e.target);
        const scc_result_t scc = strongly_connected_components(successors);
        std::vector<char> live(n, 0);
        std::vector<int> queue;
        for (std::size_t b = 0; b < n; ++b)
            if (accepting(static_cast<int>(b)) && scc.cyclic[static_cast<std::size_t>(scc.component[b])]) {
                live[b] = 1;
                queue.push_back(static_cast<int>(b));
            }
        while (!queue.empty()) {
            const int b = queue.back();
            queue.pop_back();
            for (int p : predecessors[static_cast<std::size_t>(b)])
                if (!live[static_cast<std::size_t>(p)]) {
                    live[static_cast<std::size_t>(p)] = 1;
                    queue.push_back(p);
                }
        }
        for (std::vector<ba_edge_t>& list : edges_of) {
            std::vector<ba_edge_t> kept;
            for (const ba_edge_t& e : list)
                if (live[static_cast<std::size_t>(e.target)]) kept.push_back(e);
            list = std::move(kept);
        }
        std::vector<int> kept;
        for (int b : starts)
            if (live[static_cast<std::size_t>(b)]) kept.push_back(b);
        starts = std::move(kept);
        return true;
    }

    // Merges bisimilar states (same acceptance, and for every letter the
    // same classes of successors) by signature refinement, which keeps the
    // language; the Safra trees then range over fewer states. Each class is
    // represented by its first state, whose edges are redirected to
    // representatives. Skipped when the letters make the signatures too large.
    void merge_bisimilar(std::vector<int>& starts, const alphabet_t& alphabet) {
        const std::size_t n = states.size();
        const auto letters = static_cast<std::size_t>(alphabet.letter_count());
        if (n * letters > (std::size_t{1} << 22)) return;
        std::vector<int> cls(n);
        for (std::size_t b = 0; b < n; ++b) cls[b] = accepting(static_cast<int>(b)) ? 1 : 0;
        std::size_t class_count = 0;
        for (;;) {
            std::map<std::vector<int>, int> ids_of;
            std::vector<int> next(n);
            for (std::size_t b = 0; b < n; ++b) {
                std::vector<int> key{cls[b]};
                for (std::size_t l = 0; l < letters; ++l) {
                    std::vector<int> targets;
                    for (const ba_edge_t& e : edges_of[b])
                        if (e.cube.matches(alphabet.letter(static_cast<int>(l)))) targets.push_back(cls[static_cast<std::size_t>(e.target)]);
                    std::sort(targets.begin(), targets.end());
                    targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
                    key.push_back(-1);
                    key.insert(key.end(), targets.begin(), targets.end());
                }
                next[b] = ids_of.emplace(std::move(key), static_cast<int>(ids_of.size())).first->second;
            }
            cls.swap(next);
            if (ids_of.size() == class_count) break;
            class_count = ids_of.size();
        }
        std::vector<int> representative(class_count, -1);
        for (std::size_t b = 0; b < n; ++b)
            if (representative[static_cast<std::size_t>(cls[b])] < 0) representative[static_cast<std::size_t>(cls[b])] = static_cast<int>(b);
        auto rep = [&](int b) { return representative[static_cast<std::size_t>(cls[static_cast<std::size_t>(b)])]; };
        for (std::size_t b = 0; b < n; ++b) {
            if (rep(static_cast<int>(b)) != static_cast<int>(b)) {
                edges_of[b].clear();
                continue;
            }
            for (ba_edge_t& e : edges_of[b]) e.target = rep(e.target);
            std::sort(edges_of[b].begin(), edges_of[b].end(), [](const ba_edge_t& x, const ba_edge_t& y) {
                return std::tie(x.target, x.cube.pos, x.cube.neg) < std::tie(y.target, y.cube.pos, y.cube.neg);
            });
            edges_of[b].erase(std::unique(edges_of[b].begin(), edges_of[b].end(),
                                          [](const ba_edge_t& x, const ba_edge_t& y) {
                                              return x.target == y.target && x.cube.pos == y.cube.pos &&
                                                     x.cube.neg == y.cube.neg;
                                          }),
                              edges_of[b].end());
        }
        for (int& b : starts) b = rep(b);
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    }

private:
    struct generalised_edge_t {
        cube_t cube;
        int target;
        std::uint64_t marks;  // bit k: the edge is in the acceptance set of untils[k]
    };

    int generalised_id(const state_set_t& g) {
        auto found = gids.emplace(g, static_cast<int>(gsets.size()));
        if (found.second) gsets.push_back(g);
        return found.first->second;
    }

    // Gastin-Oddoux: an edge is in the set of until state u when it leaves u
    // behind, or when u could have been fulfilled by this very letter with
    // no more obligations than the edge carries anyway.
    std::vector<generalised_edge_t> generalised_edges(int gid) {
        const state_set_t g = gsets[static_cast<std::size_t>(gid)];
        std::vector<vwaa_term_t> terms = vwaa.delta_of_set(g);
        std::vector<std::uint64_t> marks(terms.size(), 0);
        for (std::size_t t = 0; t < terms.size(); ++t)
            for (std::size_t k = 0; k < untils.size(); ++k) {
                const int u = untils[k];
                bool in = !std::binary_search(terms[t].states.begin(), terms[t].states.end(), u);
                for (const vwaa_term_t& own : vwaa.delta(u)) {
                    if (in) break;
                    in = terms[t].cube.implies(own.cube) &&
                         !std::binary_search(own.states.begin(), own.states.end(), u) &&
                         is_subset(own.states, terms[t].states);
                }
                if (in) marks[t] |= std::uint64_t{1} << k;
            }
        // An edge is useless beside one with a weaker condition, fewer
        // obligations and at least its acceptance marks.
        std::vector<char> dropped(terms.size(), 0);
        for (std::size_t i = 0; i < terms.size(); ++i)
            for (std::size_t j = 0; j < terms.size() && !dropped[i]; ++j) {
                if (i == j || dropped[j]) continue;
                dropped[i] = terms[i].cube.implies(terms[j].cube) && is_subset(terms[j].states, terms[i].states) &&
                             (marks[i] & ~marks[j]) == 0;
            }
        std::vector<generalised_edge_t> result;
        for (std::size_t t = 0; t < terms.size(); ++t)
            if (!dropped[t]) result.push_back({terms[t].cube, generalised_id(terms[t].states), marks[t]});
        return result;
    }

    vwaa_t& vwaa;
    const std::vector<int>& untils;
    const bool restart;  // the count restarts on entering a component
    std::map<state_set_t, int> gids;
    std::vector<state_set_t> gsets;
    std::vector<std::vector<generalised_edge_t>> edges_of_generalised;
    std::vector<int> component;  // of each generalised state
    std::map<std::pair<int, std::size_t>, int> ids;
    std::vector<std::pair<int, std::size_t>> states;
    std::vector<std::vector<ba_edge_t>> edges_of;
    std::vector<char> edges_done;
};

// A set of Büchi states as a fixed number of 64-bit words.
using label_t = std::vector<std::uint64_t>;

bool is_empty(const label_t& x) {
    for (std::uint64_t w : x)
        if (w) return false;
    return true;
}

std::size_t count(const label_t& x) {
    std::size_t c = 0;
    for (std::uint64_t w : x) c += static_cast<std::size_t>(__builtin_popcountll(w));
    return c;
}

// A Safra tree as a vector of nodes in preorder, older siblings first.
struct safra_node_t {
    int name;
    int parent;  // index in the vector, -1 for the root
    bool marked;
    label_t label;
};
using safra_tree_t = std::vector<safra_node_t>;

std::vector<std::uint64_t> key_of(const safra_tree_t& tree) {
    std::vector<std::uint64_t> key;
    for (const safra_node_t& n : tree) {
        key.push_back(static_cast<std::uint64_t>(static_cast<std::uint32_t>(n.name)) << 32 |
                      static_cast<std::uint64_t>(static_cast<std::uint32_t>(n.parent + 1)) << 1 | (n.marked ? 1 : 0));
        key.insert(key.end(), n.label.begin(), n.label.end());
    }
    return key;
}

class safra_builder_t {
public:
    // The successor sets of every Büchi state under every letter are
    // tabulated when the table stays small; otherwise computed per step.
    safra_builder_t(buchi_t& buchi, std::size_t state_count, const alphabet_t& alphabet)
        : buchi(buchi), state_count(state_count), words((state_count + 63) / 64), alphabet(alphabet),
          letters(static_cast<std::size_t>(alphabet.letter_count())), accepting_states(words, 0) {
        for (std::size_t b = 0; b < state_count; ++b)
            if (buchi.accepting(static_cast<int>(b))) accepting_states[b / 64] |= std::uint64_t{1} << (b % 64);
        if (state_count * letters * words <= (std::size_t{1} << 22)) {
            table.assign(state_count * letters * words, 0);
            for (std::size_t b = 0; b < state_count; ++b)
                for (const ba_edge_t& e : buchi.edges(static_cast<int>(b)))
                    for (std::size_t l = 0; l < letters; ++l)
                        if (e.cube.matches(alphabet.letter(static_cast<int>(l))))
                            table[(b * letters + l) * words + static_cast<std::size_t>(e.target) / 64] |=
                                std::uint64_t{1} << (e.target % 64);
        }
    }

    label_t set_of(const std::vector<int>& states) const {
        label_t x(words, 0);
        for (int b : states) x[static_cast<std::size_t>(b) / 64] |= std::uint64_t{1} << (b % 64);
        return x;
    }

    // The successors under the letter of index letter.
    label_t successors(const label_t& label, std::size_t letter) {
        label_t r(words, 0);
        for (std::size_t w = 0; w < words; ++w)
            for (std::uint64_t bits = label[w]; bits; bits &= bits - 1) {
                const std::size_t b = w * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
                if (!table.empty()) {
                    const std::uint64_t* row = &table[(b * letters + letter) * words];
                    for (std::size_t k = 0; k < words; ++k) r[k] |= row[k];
                } else {
                    for (const ba_edge_t& e : buchi.edges(static_cast<int>(b)))
                        if (e.cube.matches(alphabet.letter(static_cast<int>(letter))))
                            r[static_cast<std::size_t>(e.target) / 64] |= std::uint64_t{1} << (e.target % 64);
                }
            }
        return r;
    }

    safra_tree_t step(const safra_tree_t& tree, std::size_t letter) {
        safra_tree_t nodes = tree;
        std::vector<int> used;
        for (const safra_node_t& n : tree) used.push_back(n.name);
        // 1. Every node with accepting states spawns a youngest child with them.
        for (std::size_t i = 0; i < tree.size(); ++i) {
            label_t accepting(words);
            for (std::size_t w = 0; w < words; ++w) accepting[w] = tree[i].label[w] & accepting_states[w];
            if (is_empty(accepting)) continue;
            int name = 1;
            while (std::find(used.begin(), used.end(), name) != used.end()) ++name;
            used.push_back(name);
            nodes.push_back({name, static_cast<int>(i), false, std::move(accepting)});
        }
        // 2. The subset construction on every label.
        for (safra_node_t& n : nodes) {
            n.marked = false;
            n.label = successors(n.label, letter);
        }
        // 3. A state belongs to the oldest node that has it: parents come
        // before children and older siblings before younger in the vector.
        std::vector<label_t> taken(nodes.size(), label_t(words, 0));
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            safra_node_t& n = nodes[i];
            if (n.parent < 0) continue;
            const auto p = static_cast<std::size_t>(n.parent);
            for (std::size_t w = 0; w < words; ++w) {
                n.label[w] &= nodes[p].label[w] & ~taken[p][w];
                taken[p][w] |= n.label[w];
            }
        }
        // 4. Empty nodes go; a node whose children together hold all its
        // states loses its subtree and is marked.
        std::vector<char> removed(nodes.size(), 0), collapsed(nodes.size(), 0);
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            const int p = nodes[i].parent;
            if (is_empty(nodes[i].label) ||
                (p >= 0 && (removed[static_cast<std::size_t>(p)] || collapsed[static_cast<std::size_t>(p)])))
                removed[i] = 1;
        }
        std::vector<std::size_t> child_states(nodes.size(), 0);
        for (std::size_t i = 0; i < nodes.size(); ++i)
            if (!removed[i] && nodes[i].parent >= 0)
                child_states[static_cast<std::size_t>(nodes[i].parent)] += count(nodes[i].label);
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            const int p = nodes[i].parent;
            if (removed[i]) continue;
            if (p >= 0 && (removed[static_cast<std::size_t>(p)] || collapsed[static_cast<std::size_t>(p)])) {
                removed[i] = 1;
                continue;
            }
            // Children's labels are disjoint subsets of the parent's, so
            // comparing sizes compares the sets.
            if (child_states[i] > 0 && child_states[i] == count(nodes[i].label)) {
                collapsed[i] = 1;
                nodes[i].marked = true;
            }
        }
        // 5. Back to preorder.
        std::vector<std::vector<std::size_t>> children(nodes.size());
        std::vector<std::size_t> roots;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            if (removed[i]) continue;
            if (nodes[i].parent < 0) roots.push_back(i);
            else children[static_cast<std::size_t>(nodes[i].parent)].push_back(i);
        }
        safra_tree_t result;
        std::vector<std::pair<std::size_t, int>> stack;  // (old index, new parent index)
        for (std::size_t r = roots.size(); r-- > 0;) stack.push_back({roots[r], -1});
        while (!stack.empty()) {
            const auto [old_index, parent] = stack.back();
            stack.pop_back();
            const int new_index = static_cast<int>(result.size());
            safra_node_t n = std::move(nodes[old_index]);
            n.parent = parent;
            result.push_back(std::move(n));
            const std::vector<std::size_t>& c = children[old_index];
            for (std::size_t k = c.size(); k-- > 0;) stack.push_back({c[k], new_index});
        }
        return result;
    }

private:
    buchi_t& buchi;
    const std::size_t state_count;
    const std::size_t words;
    const alphabet_t alphabet;
    const std::size_t letters;
    label_t accepting_states;
    std::vector<std::uint64_t> table;  // [(state * letters + letter) * words + word]
};

// The until subformulas of f, the acceptance sets of the generalised automaton.
std::vector<int> until_subformulas(const ltl_pool_t& pool, int f) {
    std::vector<int> result, stack{f};
    std::vector<int> seen;
    while (!stack.empty()) {
        const int g = stack.back();
        stack.pop_back();
        if (std::find(seen.begin(), seen.end(), g) != seen.end()) continue;
        seen.push_back(g);
        const ltl_node_t& n = pool.node(g);
        if (n.op == ltl_op_t::until) result.push_back(g);
        if (n.op == ltl_op_t::and_op || n.op == ltl_op_t::or_op || n.op == ltl_op_t::until ||
            n.op == ltl_op_t::release) {
            stack.push_back(n.left);
            stack.push_back(n.right);
        } else if (n.op == ltl_op_t::next) {
            stack.push_back(n.left);
        }
    }
    std::sort(result.begin(), result.end());
    return result;
}

}  // namespace

bool safra_dra(vwaa_t& vwaa, int f, const alphabet_t& alphabet, ltl_limits_t& limits, dra_t& out, std::string& error,
               bool restart) {
    const std::vector<int> untils = until_subformulas(vwaa.formulas(), f);
    if (untils.size() > max_until_states) {
        error = "the formula has more than " + std::to_string(max_until_states) + " until subformulas";
        return false;
    }
    buchi_t buchi(vwaa, untils, restart);

    safra_tree_t start;
    std::vector<int> initial;
    const std::vector<state_set_t> initial_sets = vwaa.initial(f);
    if (!buchi.explore(initial_sets, limits)) return false;
    for (const state_set_t& g : initial_sets) initial.push_back(buchi.state(g, 0));
    if (!buchi.prune(initial, limits)) return false;
    buchi.merge_bisimilar(initial, alphabet);
    safra_builder_t builder(buchi, buchi.state_count(), alphabet);
    if (!initial.empty()) start.push_back({1, -1, false, builder.set_of(initial)});

    std::map<std::vector<std::uint64_t>, int> ids;
    std::vector<safra_tree_t> trees{start};
    ids.emplace(key_of(start), 0);
    dra_t a;
    a.alphabet = alphabet;
    const int letters = a.letter_count();
    for (std::size_t i = 0; i < trees.size(); ++i)
        for (int l = 0; l < letters; ++l) {
            safra_tree_t next = builder.step(trees[i], static_cast<std::size_t>(l));
            auto found = ids.emplace(key_of(next), static_cast<int>(trees.size()));
            if (found.second) {
                if (limits.too_many(trees.size() + 1, static_cast<std::uint64_t>(letters))) return false;
                trees.push_back(std::move(next));
            }
            a.delta.push_back(found.first->second);
        }
    a.state_count = static_cast<int>(trees.size());
    a.start = 0;
    int max_name = 0;
    for (const safra_tree_t& t : trees)
        for (const safra_node_t& n : t) max_name = std::max(max_name, n.name);
    for (int name = 1; name <= max_name; ++name) {
        rabin_pair_t p;
        for (const safra_tree_t& t : trees) {
            auto node = std::find_if(t.begin(), t.end(), [&](const safra_node_t& n) { return n.name == name; });
            p.fin.push_back(node == t.end());
            p.inf.push_back(node != t.end() && node->marked);
        }
        a.pairs.push_back(std::move(p));
    }
    out = std::move(a);
    return true;
}
