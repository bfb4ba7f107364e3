// Compares velkin-ltl's automata with a direct evaluation of the formula on
// ultimately periodic words u.v^omega. The formulas are built here as trees
// of their own and printed in the tool's syntax, so neither the parser nor
// the rewrite rules take part in the expected verdict. Letters are arbitrary
// sets of propositions, several at once included.
//
// ltl_words random SEED COUNT WORDS   random formulas (depth <= 4, <= 4 propositions)
// ltl_words patterns FILE WORDS       the "name<TAB>formula" lines of FILE
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ltl/parser.hpp"
#include "ltl/translate.hpp"

namespace {

enum class kind_t { prop, truth, falsity, not_op, next, eventually, always, and_op, or_op, implies, iff, xor_op,
                    until, weak_until, release, strong_release };

struct tree_t {
    kind_t kind;
    int prop = 0;
    std::unique_ptr<tree_t> a, b;
};

const char* const names[] = {"p", "q", "r", "s"};

std::string print(const tree_t& t) {
    switch (t.kind) {
    case kind_t::prop: return names[t.prop];
    case kind_t::truth: return "true";
    case kind_t::falsity: return "false";
    case kind_t::not_op: return "!" + print(*t.a);
    case kind_t::next: return "X " + print(*t.a);
    case kind_t::eventually: return "F " + print(*t.a);
    case kind_t::always: return "G " + print(*t.a);
    case kind_t::and_op: return "(" + print(*t.a) + " && " + print(*t.b) + ")";
    case kind_t::or_op: return "(" + print(*t.a) + " || " + print(*t.b) + ")";
    case kind_t::implies: return "(" + print(*t.a) + " -> " + print(*t.b) + ")";
    case kind_t::iff: return "(" + print(*t.a) + " <-> " + print(*t.b) + ")";
    case kind_t::xor_op: return "(" + print(*t.a) + " xor " + print(*t.b) + ")";
    case kind_t::until: return "(" + print(*t.a) + " U " + print(*t.b) + ")";
    case kind_t::weak_until: return "(" + print(*t.a) + " W " + print(*t.b) + ")";
    case kind_t::release: return "(" + print(*t.a) + " R " + print(*t.b) + ")";
    case kind_t::strong_release: return "(" + print(*t.a) + " M " + print(*t.b) + ")";
    }
    return "?";
}

std::unique_ptr<tree_t> random_tree(std::mt19937& rng, int depth) {
    auto t = std::make_unique<tree_t>();
    const int choice = depth == 0 ? 0 : static_cast<int>(rng() % 16);
    if (choice <= 1) {
        t->kind = rng() % 12 == 0 ? (rng() % 2 ? kind_t::truth : kind_t::falsity) : kind_t::prop;
        t->prop = static_cast<int>(rng() % 4);
        return t;
    }
    t->kind = static_cast<kind_t>(choice);
    t->a = random_tree(rng, depth - 1);
    if (choice >= static_cast<int>(kind_t::and_op)) t->b = random_tree(rng, depth - 1);
    return t;
}

// Truth at every position of the lasso; next[i] is the position after i.
// Until-like operators are least fixpoints, release-like greatest ones,
// computed by sweeping backwards until nothing changes.
std::vector<char> evaluate(const tree_t& t, const std::vector<std::uint64_t>& word, const std::vector<int>& next,
                           const std::vector<int>& prop_index) {
    const std::size_t n = word.size();
    std::vector<char> r(n);
    if (t.kind == kind_t::prop) {
        for (std::size_t i = 0; i < n; ++i) r[i] = (word[i] >> prop_index[static_cast<std::size_t>(t.prop)]) & 1;
        return r;
    }
    if (t.kind == kind_t::truth || t.kind == kind_t::falsity) {
        r.assign(n, t.kind == kind_t::truth);
        return r;
    }
    const std::vector<char> x = evaluate(*t.a, word, next, prop_index);
    std::vector<char> y = t.b ? evaluate(*t.b, word, next, prop_index) : std::vector<char>(n);
    auto fixpoint = [&](bool greatest, auto step) {
        r.assign(n, greatest);
        for (bool changed = true; changed;) {
            changed = false;
            for (std::size_t i = n; i-- > 0;) {
                const char v = step(i, r[static_cast<std::size_t>(next[i])]);
                if (v != r[i]) r[i] = v, changed = true;
            }
        }
    };
    switch (t.kind) {
    case kind_t::not_op: for (std::size_t i = 0; i < n; ++i) r[i] = !x[i]; break;
    case kind_t::next: for (std::size_t i = 0; i < n; ++i) r[i] = x[static_cast<std::size_t>(next[i])]; break;
    case kind_t::eventually: fixpoint(false, [&](std::size_t i, char later) { return x[i] || later; }); break;
    case kind_t::always: fixpoint(true, [&](std::size_t i, char later) { return x[i] && later; }); break;
    case kind_t::and_op: for (std::size_t i = 0; i < n; ++i) r[i] = x[i] && y[i]; break;
    case kind_t::or_op: for (std::size_t i = 0; i < n; ++i) r[i] = x[i] || y[i]; break;
    case kind_t::implies: for (std::size_t i = 0; i < n; ++i) r[i] = !x[i] || y[i]; break;
    case kind_t::iff: for (std::size_t i = 0; i < n; ++i) r[i] = !x[i] == !y[i]; break;
    case kind_t::xor_op: for (std::size_t i = 0; i < n; ++i) r[i] = !x[i] != !y[i]; break;
    case kind_t::until: fixpoint(false, [&](std::size_t i, char later) { return y[i] || (x[i] && later); }); break;
    case kind_t::weak_until: fixpoint(true, [&](std::size_t i, char later) { return y[i] || (x[i] && later); }); break;
    case kind_t::release: fixpoint(true, [&](std::size_t i, char later) { return y[i] && (x[i] || later); }); break;
    case kind_t::strong_release: fixpoint(false, [&](std::size_t i, char later) { return y[i] && (x[i] || later); }); break;
    default: break;
    }
    return r;
}

// Translates text; the tree, when given, is evaluated on random words and
// compared. Without a tree (pattern files) the formula is parsed a second
// time into a tree by the minimal reader below.
struct outcome_t {
    int mismatches = 0;
    bool failed = false;
};

outcome_t compare(const std::string& text, const tree_t& tree, int words, std::mt19937& rng, bool actions) {
    outcome_t result;
    ltl_pool_t pool;
    int f;
    std::string error;
    dra_t a;
    ltl_limits_t limits;
    if (!parse_ltl(text, pool, f, error) || !translate_ltl(pool, f, limits, a, error, actions)) {
        std::cout << "FAILED " << (actions ? "-a " : "") << text << ": " << error << "\n";
        result.failed = true;
        return result;
    }
    // The automaton numbers propositions by first occurrence in the text.
    std::vector<int> prop_index(4, -1);
    for (std::size_t j = 0; j < pool.props().size(); ++j)
        for (int k = 0; k < 4; ++k)
            if (pool.props()[j] == names[k]) prop_index[static_cast<std::size_t>(k)] = static_cast<int>(j);
    for (int w = 0; w < words; ++w) {
        const std::size_t prefix_length = rng() % 6, cycle_length = 1 + rng() % 6;
        std::vector<std::uint64_t> word(prefix_length + cycle_length);
        const std::uint64_t props = pool.props().size();
        for (std::uint64_t& l : word) {
            const std::uint64_t draw = rng();
            if (!actions) l = draw & ((std::uint64_t{1} << props) - 1);
            else l = draw % (props + 1) == 0 ? 0 : std::uint64_t{1} << (draw % (props + 1) - 1);
        }
        std::vector<int> next(word.size());
        for (std::size_t i = 0; i < word.size(); ++i) next[i] = static_cast<int>(i + 1 < word.size() ? i + 1 : prefix_length);
        std::vector<int> indices(4, 0);
        for (int k = 0; k < 4; ++k) indices[static_cast<std::size_t>(k)] = prop_index[static_cast<std::size_t>(k)] < 0 ? 31 : prop_index[static_cast<std::size_t>(k)];
        const bool expected = evaluate(tree, word, next, indices)[0];
        const std::vector<std::uint64_t> prefix(word.begin(), word.begin() + static_cast<long>(prefix_length));
        const std::vector<std::uint64_t> cycle(word.begin() + static_cast<long>(prefix_length), word.end());
        if (dra_accepts(a, prefix, cycle) != expected) {
            if (result.mismatches == 0) {
                std::cout << "MISMATCH " << (actions ? "-a " : "") << text << " on";
                for (std::uint64_t l : prefix) std::cout << ' ' << l;
                std::cout << " (";
                for (std::uint64_t l : cycle) std::cout << ' ' << l;
                std::cout << " )^w: expected " << expected << "\n";
            }
            ++result.mismatches;
        }
    }
    return result;
}

// Both translations of one formula, with words of their own generator.
outcome_t compare_both(const std::string& text, const tree_t& tree, int words, std::mt19937& rng) {
    outcome_t result;
    for (bool actions : {false, true}) {
        const outcome_t o = compare(text, tree, words, rng, actions);
        result.failed = result.failed || o.failed;
        result.mismatches += o.mismatches;
    }
    return result;
}

// A small reader of the pattern files' formulas into trees, separate from the
// tool's parser: recursive descent over the same precedence levels.
class tree_reader_t {
public:
    explicit tree_reader_t(const std::string& s) : s(s) {}
    std::unique_ptr<tree_t> read() {
        auto t = implication();
        skip();
        if (i != s.size()) ok = false;
        return t;
    }
    bool ok = true;

private:
    void skip() { while (i < s.size() && s[i] == ' ') ++i; }
    bool take(const std::string& token) {
        skip();
        if (s.compare(i, token.size(), token) != 0) return false;
        i += token.size();
        return true;
    }
    static std::unique_ptr<tree_t> node(kind_t k, std::unique_ptr<tree_t> a, std::unique_ptr<tree_t> b = nullptr) {
        auto t = std::make_unique<tree_t>();
        t->kind = k;
        t->a = std::move(a);
        t->b = std::move(b);
        return t;
    }
    std::unique_ptr<tree_t> implication() {
        auto left = disjunction();
        if (take("->")) return node(kind_t::implies, std::move(left), implication());
        return left;
    }
    std::unique_ptr<tree_t> disjunction() {
        auto left = conjunction();
        while (take("|")) left = node(kind_t::or_op, std::move(left), conjunction());
        return left;
    }
    std::unique_ptr<tree_t> conjunction() {
        auto left = binary();
        while (take("&")) left = node(kind_t::and_op, std::move(left), binary());
        return left;
    }
    std::unique_ptr<tree_t> binary() {
        auto left = unary();
        if (take("U")) return node(kind_t::until, std::move(left), binary());
        if (take("W")) return node(kind_t::weak_until, std::move(left), binary());
        if (take("R")) return node(kind_t::release, std::move(left), binary());
        if (take("M")) return node(kind_t::strong_release, std::move(left), binary());
        return left;
    }
    std::unique_ptr<tree_t> unary() {
        if (take("!")) return node(kind_t::not_op, unary());
        if (take("X")) return node(kind_t::next, unary());
        if (take("F")) return node(kind_t::eventually, unary());
        if (take("G")) return node(kind_t::always, unary());
        if (take("(")) {
            auto t = implication();
            if (!take(")")) ok = false;
            return t;
        }
        skip();
        std::size_t end = i;
        while (end < s.size() && std::islower(static_cast<unsigned char>(s[end]))) ++end;
        const std::string name = s.substr(i, end - i);
        i = end;
        auto t = std::make_unique<tree_t>();
        t->kind = kind_t::prop;
        if (name == "true") t->kind = kind_t::truth;
        else if (name == "false") t->kind = kind_t::falsity;
        else if (name == "p") t->prop = 0;
        else if (name == "q") t->prop = 1;
        else if (name == "r") t->prop = 2;
        else if (name == "s") t->prop = 3;
        else ok = false;
        return t;
    }
    const std::string& s;
    std::size_t i = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 4) {
        std::cerr << "usage: ltl_words random SEED COUNT WORDS | ltl_words patterns FILE WORDS\n";
        return 2;
    }
    const std::string mode = argv[1];
    int formulas = 0, failed = 0, mismatches = 0;
    if (mode == "random" && argc == 5) {
        std::mt19937 rng(static_cast<unsigned>(std::atoi(argv[2])));
        const int count = std::atoi(argv[3]), words = std::atoi(argv[4]);
        for (int k = 0; k < count; ++k) {
            const auto tree = random_tree(rng, 1 + static_cast<int>(rng() % 4));
            // Words from a generator of their own, so the formulas of a seed
            // do not depend on the number of words.
            std::mt19937 word_rng(rng());
            const outcome_t o = compare_both(print(*tree), *tree, words, word_rng);
            ++formulas;
            failed += o.failed;
            mismatches += o.mismatches;
        }
    } else if (mode == "patterns" && argc == 4) {
        std::ifstream in(argv[2]);
        if (!in) {
            std::cerr << "cannot open " << argv[2] << "\n";
            return 2;
        }
        std::mt19937 rng(1);
        const int words = std::atoi(argv[3]);
        std::string line;
        while (std::getline(in, line)) {
            const std::size_t tab = line.find('\t');
            if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
            // Pattern propositions are p, q, r, s; longer names (req, grant)
            // are mapped onto them for the tree reader.
            std::string text = line.substr(tab + 1), plain = text;
            for (auto [from, to] : {std::pair<std::string, std::string>{"req", "p"}, {"grant", "s"}})
                for (std::size_t at; (at = plain.find(from)) != std::string::npos;) plain.replace(at, from.size(), to);
            tree_reader_t reader(plain);
            const auto tree = reader.read();
            if (!reader.ok) {
                std::cout << "UNREADABLE " << line << "\n";
                ++failed;
                continue;
            }
            const outcome_t o = compare_both(plain, *tree, words, rng);
            ++formulas;
            failed += o.failed;
            mismatches += o.mismatches;
        }
        if (formulas == 0) ++failed;
    } else {
        std::cerr << "unknown mode " << mode << "\n";
        return 2;
    }
    std::cout << formulas << " formulas in both modes, " << mismatches << " mismatching words, " << failed << " failures\n";
    return mismatches == 0 && failed == 0 ? 0 : 1;
}
