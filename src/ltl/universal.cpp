#include "ltl/universal.hpp"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>

namespace {

// How one element of a macro state moves on one letter.
struct move_t {
    enum kind_t { reject, guess, go } kind = reject;
    state_set_t plain;  // the plain states every run must be in next
    int node = -1;      // the co-safe obligation next, -1 for none
};

// Co-safe states (no release below them) accept by finite run trees only, so
// the choices among them need no guessing: an obligation node is the whole
// disjunction of their configurations (an antichain of state sets), and it
// moves deterministically, like a subset construction, until it holds the
// empty configuration (done) or none (failed). Every other state is plain
// and needs a least transition.
class universal_builder_t {
public:
    universal_builder_t(vwaa_t& vwaa, const alphabet_t& alphabet)
        : vwaa(vwaa), alphabet(alphabet), letters(alphabet.letter_count()) {}

    bool co_safe(int f) {
        auto found = co_safe_memo.find(f);
        if (found != co_safe_memo.end()) return found->second;
        const ltl_node_t& n = vwaa.formulas().node(f);
        bool r = true;
        switch (n.op) {
        case ltl_op_t::release: r = false; break;
        case ltl_op_t::and_op:
        case ltl_op_t::or_op:
        case ltl_op_t::until: r = co_safe(n.left) && co_safe(n.right); break;
        case ltl_op_t::next: r = co_safe(n.left); break;
        default: break;
        }
        return co_safe_memo[f] = r;
    }

    // The options of a disjunction of configurations: a least plain part and
    // the co-safe parts that go with it, provided every option with more
    // plain states is dominated by one with the least plain part.
    move_t split(const std::vector<state_set_t>& options) {
        move_t m;
        if (options.empty()) return m;
        std::vector<state_set_t> plain(options.size()), safe(options.size());
        for (std::size_t i = 0; i < options.size(); ++i)
            for (int q : options[i]) (co_safe(q) ? safe[i] : plain[i]).push_back(q);
        std::size_t least = 0;
        for (std::size_t i = 1; i < options.size(); ++i)
            if (is_subset(plain[i], plain[least])) least = i;
        std::vector<state_set_t> obligation;
        for (std::size_t i = 0; i < options.size(); ++i) {
            if (!is_subset(plain[least], plain[i])) {
                m.kind = move_t::guess;
                return m;
            }
            if (plain[i] == plain[least]) obligation.push_back(safe[i]);
        }
        for (std::size_t i = 0; i < options.size(); ++i) {
            if (plain[i] == plain[least]) continue;
            bool dominated = false;
            for (const state_set_t& s : obligation) dominated = dominated || is_subset(s, safe[i]);
            if (!dominated) {
                m.kind = move_t::guess;
                return m;
            }
        }
        m.kind = move_t::go;
        m.plain = plain[least];
        m.node = node_of(std::move(obligation));
        if (m.node == overflow_node) m.kind = move_t::guess;
        return m;
    }

    // Valid until the next call.
    const move_t& plain_move(int q, int l) {
        std::vector<int>& row = plain_rows[q];
        if (row.empty()) row.assign(static_cast<std::size_t>(letters), unknown);
        int& index = row[static_cast<std::size_t>(l)];
        if (index == unknown) {
            const std::uint64_t letter = alphabet.letter(l);
            std::vector<state_set_t> options;
            for (const vwaa_term_t& t : vwaa.delta(q))
                if (t.cube.matches(letter)) options.push_back(t.states);
            moves.push_back(split(options));
            index = static_cast<int>(moves.size()) - 1;
        }
        return moves[static_cast<std::size_t>(index)];
    }

    // The node after one letter: done_node, failed_node, overflow_node or a node.
    int node_move(int node, int l) {
        std::vector<int>& row = node_rows[static_cast<std::size_t>(node)];
        if (row.empty()) row.assign(static_cast<std::size_t>(letters), unknown);
        int& known = row[static_cast<std::size_t>(l)];
        if (known == unknown) known = compute_node_move(node, l);
        return known;
    }

    static constexpr int done_node = -1, failed_node = -2, overflow_node = -3;

private:
    static constexpr int unknown = -4;

    int compute_node_move(int node, int l) {
        const std::uint64_t letter = alphabet.letter(l);
        std::vector<state_set_t> next;
        for (const state_set_t& config : nodes[static_cast<std::size_t>(node)]) {
            std::vector<state_set_t> product{state_set_t{}};
            for (int q : config) {
                std::vector<state_set_t> extended;
                for (const vwaa_term_t& t : vwaa.delta(q))
                    if (t.cube.matches(letter))
                        for (const state_set_t& p : product) extended.push_back(set_union(p, t.states));
                product = minimal(std::move(extended));
                if (product.size() > vwaa_t::max_terms) return overflow_node;
            }
            next.insert(next.end(), product.begin(), product.end());
        }
        return node_of(std::move(next));
    }

    static std::vector<state_set_t> minimal(std::vector<state_set_t> r) {
        std::sort(r.begin(), r.end());
        r.erase(std::unique(r.begin(), r.end()), r.end());
        std::vector<state_set_t> kept;
        for (std::size_t i = 0; i < r.size(); ++i) {
            bool superset = false;
            for (std::size_t j = 0; j < r.size() && !superset; ++j) superset = j != i && is_subset(r[j], r[i]);
            if (!superset) kept.push_back(r[i]);
        }
        return kept;
    }

    int node_of(std::vector<state_set_t> configs) {
        if (configs.size() > vwaa_t::max_terms) return overflow_node;
        configs = minimal(std::move(configs));
        if (configs.empty()) return failed_node;
        if (configs.front().empty()) return done_node;  // sorted: the empty set comes first
        auto found = node_ids.emplace(configs, static_cast<int>(nodes.size()));
        if (found.second) {
            nodes.push_back(std::move(configs));
            node_rows.emplace_back();
        }
        return found.first->second;
    }

    vwaa_t& vwaa;
    const alphabet_t alphabet;
    const int letters;
    std::unordered_map<int, bool> co_safe_memo;
    // Moves are computed once per letter: rows indexed by letter hold the
    // index into moves (plain states) or the next node (nodes), or unknown.
    std::unordered_map<int, std::vector<int>> plain_rows;
    std::vector<move_t> moves;
    std::map<std::vector<state_set_t>, int> node_ids;
    std::vector<std::vector<state_set_t>> nodes;
    std::vector<std::vector<int>> node_rows;
};

// A macro state: plain states and obligation nodes (as 2q and 2n + 1), and
// those of them still waiting since the last breakpoint.
using macro_t = std::pair<std::vector<int>, std::vector<int>>;

int plain_element(int q) { return 2 * q; }
int node_element(int n) { return 2 * n + 1; }

void add_node(std::vector<int>& elements, int node) {
    if (node >= 0) elements.push_back(node_element(node));
}

void normalise(std::vector<int>& v) {
    if (!std::is_sorted(v.begin(), v.end())) std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

}  // namespace

bool universal_dba(vwaa_t& vwaa, int f, const alphabet_t& alphabet, ltl_limits_t& limits, dra_t& out) {
    universal_builder_t builder(vwaa, alphabet);
    const std::vector<state_set_t> starts = vwaa.initial(f);
    if (starts.empty()) {
        out = constant_dra(alphabet, false);
        return true;
    }
    const move_t first = builder.split(starts);
    if (first.kind != move_t::go) return false;

    std::map<macro_t, int> ids;
    std::vector<macro_t> macros;
    const int sink = 0;  // some state rejected the word
    macros.push_back({std::vector<int>{-1}, std::vector<int>{}});
    ids.emplace(macros[0], sink);
    macro_t start;
    for (int q : first.plain) start.first.push_back(plain_element(q));
    add_node(start.first, first.node);
    normalise(start.first);
    macros.push_back(start);
    ids.emplace(start, 1);

    dra_t a;
    a.alphabet = alphabet;
    const int letters = a.letter_count();
    for (std::size_t i = 0; i < macros.size(); ++i) {
        const macro_t m = macros[i];  // macros grows below
        for (int l = 0; l < letters; ++l) {
            if (i == static_cast<std::size_t>(sink)) {
                a.delta.push_back(sink);
                continue;
            }
            macro_t next;
            bool rejected = false;
            for (int e : m.first) {
                const bool waiting = std::binary_search(m.second.begin(), m.second.end(), e);
                if (e % 2 == 1) {
                    const int moved = builder.node_move(e / 2, l);
                    if (moved == universal_builder_t::overflow_node) return false;
                    if (moved == universal_builder_t::failed_node) {
                        rejected = true;
                        break;
                    }
                    add_node(next.first, moved);
                    if (waiting) add_node(next.second, moved);  // an obligation waits until it is done
                    continue;
                }
                const int q = e / 2;
                const move_t move = builder.plain_move(q, l);  // a copy: later moves may reallocate
                if (move.kind == move_t::guess) return false;
                if (move.kind == move_t::reject || move.node == universal_builder_t::failed_node) {
                    rejected = true;
                    break;
                }
                for (int r : move.plain) next.first.push_back(plain_element(r));
                add_node(next.first, move.node);
                // A waiting until state goes on waiting when its own transition keeps it.
                if (waiting && std::binary_search(move.plain.begin(), move.plain.end(), q))
                    next.second.push_back(plain_element(q));
            }
            int target = sink;
            if (!rejected) {
                normalise(next.first);
                if (m.second.empty()) {  // after a breakpoint every until state and obligation waits
                    next.second.clear();
                    for (int e : next.first)
                        if (e % 2 == 1 || vwaa.is_until_state(e / 2)) next.second.push_back(e);
                }
                normalise(next.second);
                auto found = ids.emplace(next, static_cast<int>(macros.size()));
                if (found.second) {
                    if (limits.too_many(macros.size() + 1, static_cast<std::uint64_t>(letters))) return false;
                    macros.push_back(next);
                }
                target = found.first->second;
            }
            a.delta.push_back(target);
        }
    }
    a.state_count = static_cast<int>(macros.size());
    a.start = 1;
    rabin_pair_t p;
    for (std::size_t i = 0; i < macros.size(); ++i) {
        p.fin.push_back(0);
        p.inf.push_back(i != static_cast<std::size_t>(sink) && macros[i].second.empty());
    }
    a.pairs.push_back(std::move(p));
    out = std::move(a);
    return true;
}

void complement_dba(dra_t& a) {
    rabin_pair_t p;
    p.fin = a.pairs[0].inf;
    p.inf.assign(static_cast<std::size_t>(a.state_count), 1);
    a.pairs[0] = std::move(p);
}
