#include "ltl/translate.hpp"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ltl/safra.hpp"
#include "ltl/universal.hpp"
#include "ltl/vwaa.hpp"

namespace {

class translator_t {
public:
    translator_t(ltl_pool_t& pool, const alphabet_t& alphabet, ltl_limits_t& limits, std::string& error)
        : pool(pool), vwaa(pool, alphabet.actions), limits(limits), error(error), alphabet(alphabet) {}

    bool overflowed() const { return vwaa.overflowed(); }

    // construction names the route that built the last automaton returned.
    bool translate(int f, dra_t& out) {
        if (vwaa.overflowed()) return false;
        auto found = memo.find(f);
        if (found != memo.end()) {
            out = found->second.first;
            construction = found->second.second;
            return true;
        }
        if (!translate_uncached(f, out) || vwaa.overflowed()) return false;
        memo.emplace(f, std::make_pair(out, construction));
        return true;
    }

    const char* construction = "";

private:
    // Recursion follows the formula's and/or structure, whose depth the parser bounds.
    bool translate_uncached(int f, dra_t& out) {
        if (f == pool.make_true() || f == pool.make_false()) {
            out = constant_dra(alphabet, f == pool.make_true());
            construction = "constant";
            return true;
        }
        const ltl_op_t op = pool.op(f);
        const bool boolean = op == ltl_op_t::and_op || op == ltl_op_t::or_op;
        if (op == ltl_op_t::and_op && smaller_counted_conjunction(f, out, false)) {
            // Many recurrences: the direct construction tracks sets of pending
            // obligations (2^k states for G F a1 & ... & G F ak), so it is
            // tried only within a bound set by the counted product.
            dra_t candidate;
            const char* counted = construction;
            const int saved = limits.max_states;
            limits.max_states = std::min(saved, direct_bound(out.state_count));
            const bool have_direct = direct(f, candidate);
            limits.max_states = saved;
            limits.exceeded = limits.table_exceeded = false;
            if (have_direct && candidate.state_count < out.state_count) out = std::move(candidate);
            else construction = counted;
            // No binary product here: it would translate every nested
            // sub-conjunction, each with its own counted product.
            return true;
        }
        if (direct(f, out)) {
            if (boolean) smaller_product(f, out);
            return true;
        }
        if (limits.exceeded) return false;
        if (boolean) {
            dra_t left, right;
            if (!translate(pool.node(f).left, left) || !translate(pool.node(f).right, right)) return false;
            if (op == ltl_op_t::or_op ? dra_or(left, right, limits, out) : conjunction(left, right, out)) {
                reduce_dra(out);
                construction = "product";
                return true;
            }
            if (limits.exceeded) return false;
            // (x | y) & z = (x & z) | (y & z): the parts may then combine where
            // the whole did not. A budget keeps the rewriting from growing
            // the formula exponentially; Safra's construction takes the rest.
            if (op == ltl_op_t::and_op && distributions < max_distributions) {
                const int g = distribute(f);
                if (g != f) {
                    ++distributions;
                    return translate(g, out);
                }
            }
        }
        return safra(f, out);
    }

    // Safra's construction both with and without restarting the count in
    // each component, the smaller result. The second attempt is bounded by
    // the first's size, generously: reduction often shrinks Safra's
    // automata by more than a factor of 8.
    bool safra(int f, dra_t& out) {
        const bool first = safra_dra(vwaa, f, alphabet, limits, out, error, true);
        if (!first && !limits.exceeded) return false;
        if (first) reduce_dra(out);
        const bool exceeded = limits.exceeded, table_exceeded = limits.table_exceeded;
        limits.exceeded = limits.table_exceeded = false;
        const int saved = limits.max_states;
        if (first) limits.max_states = std::min(saved, std::max(4096, 32 * out.state_count));
        dra_t other;
        std::string ignored;
        const bool second = safra_dra(vwaa, f, alphabet, limits, other, ignored, false);
        limits.max_states = saved;
        if (second) {
            reduce_dra(other);
            if (!first || other.state_count < out.state_count) out = std::move(other);
            limits.exceeded = limits.table_exceeded = false;
            error.clear();
        } else if (first) {
            limits.exceeded = limits.table_exceeded = false;
        } else {
            limits.exceeded = exceeded;
            limits.table_exceeded = table_exceeded;
        }
        if (!first && !second) return false;
        construction = "Safra";
        return true;
    }

    // The product of the parts' automata replaces the direct automaton of
    // a conjunction or disjunction when it is smaller (G F a & G F b: the
    // product counts which part it waits for, the direct automaton tracks
    // sets of pending obligations). A product that exceeds the limits is
    // simply not taken.
    void smaller_product(int f, dra_t& best) {
        const bool exceeded = limits.exceeded, table_exceeded = limits.table_exceeded;
        const char* chosen = construction;
        dra_t left, right, combined;
        const ltl_node_t n = pool.node(f);
        std::string ignored;
        std::swap(ignored, error);
        const bool built = translate(n.left, left) && translate(n.right, right) &&
                           (n.op == ltl_op_t::or_op ? dra_or(left, right, limits, combined)
                                                    : conjunction(left, right, combined));
        std::swap(ignored, error);
        limits.exceeded = exceeded;
        limits.table_exceeded = table_exceeded;
        if (!built) return;
        reduce_dra(combined);
        if (combined.state_count < best.state_count ||
            (combined.state_count == best.state_count && combined.pairs.size() < best.pairs.size())) {
            best = std::move(combined);
            chosen = "product";
        }
        construction = chosen;
    }

    // The states a direct construction may explore before it is given up
    // for a product of known size: its unreduced automaton is often a few
    // times larger than the reduced one.
    static int direct_bound(int product_states) { return std::max(256, 8 * product_states); }

    std::vector<int> conjuncts_of(int f) const {
        std::vector<int> conjuncts, stack{f};
        while (!stack.empty()) {
            const int g = stack.back();
            stack.pop_back();
            if (pool.op(g) == ltl_op_t::and_op) {
                stack.push_back(pool.node(g).right);
                stack.push_back(pool.node(g).left);
            } else {
                conjuncts.push_back(g);
            }
        }
        return conjuncts;
    }

    // A conjunction of three or more Büchi automata (G F a & G F b & G F c
    // & ...) as one product with a counter, the other conjuncts joined to it
    // pairwise. With have_best, replaces best only when smaller; returns
    // whether best was set or replaced. Limits exceeded on the way only
    // mean that this route is not taken.
    bool smaller_counted_conjunction(int f, dra_t& best, bool have_best) {
        const std::vector<int> conjuncts = conjuncts_of(f);
        if (conjuncts.size() < 3) return false;
        const bool exceeded = limits.exceeded, table_exceeded = limits.table_exceeded;
        std::string ignored;
        std::swap(ignored, error);
        const char* chosen = construction;
        std::vector<dra_t> parts(conjuncts.size());
        std::vector<const dra_t*> buchi;
        bool built = true;
        for (std::size_t i = 0; i < conjuncts.size() && built; ++i) {
            built = translate(conjuncts[i], parts[i]);
            if (built && is_buchi(parts[i])) buchi.push_back(&parts[i]);
        }
        dra_t combined;
        built = built && buchi.size() >= 3 && dra_and_buchi(buchi, limits, combined);
        if (built) reduce_dra(combined);
        for (std::size_t i = 0; i < parts.size() && built; ++i) {
            if (is_buchi(parts[i])) continue;
            dra_t next;
            built = conjunction(combined, parts[i], next);
            if (built) {
                reduce_dra(next);
                combined = std::move(next);
            }
        }
        std::swap(ignored, error);
        limits.exceeded = exceeded;
        limits.table_exceeded = table_exceeded;
        construction = chosen;
        if (!built || (have_best && combined.state_count >= best.state_count)) return false;
        best = std::move(combined);
        construction = "product";
        return true;
    }

    // A conjunction with a disjunction among its conjuncts, distributed over
    // it; f itself when there is none.
    int distribute(int f) {
        const std::vector<int> conjuncts = conjuncts_of(f);
        for (std::size_t i = 0; i < conjuncts.size(); ++i) {
            if (pool.op(conjuncts[i]) != ltl_op_t::or_op) continue;
            int rest = pool.make_true();
            for (std::size_t j = 0; j < conjuncts.size(); ++j)
                if (j != i) rest = pool.make_and(rest, conjuncts[j]);
            const int sum = conjuncts[i];
            return pool.make_or(pool.make_and(pool.node(sum).left, rest), pool.make_and(pool.node(sum).right, rest));
        }
        return f;
    }

    // The deterministic Büchi automaton of f, or the complement of that of !f;
    // the smaller when both exist.
    bool direct(int f, dra_t& out) {
        dra_t positive, negative;
        // The automaton of the negation may stay small where that of f does not.
        const bool have_positive = universal_dba(vwaa, f, alphabet, limits, positive) && !limits.exceeded;
        limits.exceeded = limits.table_exceeded = false;
        const bool have_negative =
            universal_dba(vwaa, pool.make_not(f), alphabet, limits, negative) && !limits.exceeded;
        if (!have_positive && !have_negative) return false;
        limits.exceeded = limits.table_exceeded = false;
        if (have_positive) reduce_dra(positive);
        if (have_negative) {
            if (negative.pairs.empty()) negative = constant_dra(alphabet, true);
            else complement_dba(negative);
            reduce_dra(negative);
        }
        if (have_positive && (!have_negative || positive.state_count <= negative.state_count)) {
            out = std::move(positive);
            construction = "Büchi";
        } else if (have_negative) {
            out = std::move(negative);
            construction = "co-Büchi";
        } else {
            return false;
        }
        return true;
    }

    // Conjunctions need one fin-only side or one pair on each side; a weak
    // automaton is rewritten as fin-only first.
    bool conjunction(dra_t& left, dra_t& right, dra_t& out) {
        if (!left.is_fin_only() && !right.is_fin_only()) {
            dra_t l = left, r = right;
            if (make_fin_only_if_weak(l)) return dra_and(l, right, limits, out);
            if (make_fin_only_if_weak(r)) return dra_and(left, r, limits, out);
        }
        return dra_and(left, right, limits, out);
    }

    ltl_pool_t& pool;
    vwaa_t vwaa;
    ltl_limits_t& limits;
    std::string& error;
    const alphabet_t alphabet;
    static constexpr int max_distributions = 32;
    std::unordered_map<int, std::pair<dra_t, const char*>> memo;
    int distributions = 0;
};

}  // namespace

bool translate_ltl(ltl_pool_t& pool, int f, ltl_limits_t& limits, dra_t& out, std::string& error, bool actions,
                   std::string* construction) {
    error.clear();
    const int props = static_cast<int>(pool.props().size());
    const int most = actions ? ltl_max_action_props : ltl_max_props;
    if (props > most) {
        error = "the formula has " + std::to_string(props) + " propositions, at most " + std::to_string(most) +
                " are supported" + (actions ? "" : " (" + std::to_string(ltl_max_action_props) + " with -a)");
        return false;
    }
    translator_t translator(pool, alphabet_t{props, actions}, limits, error);
    if (translator.translate(f, out)) {
        if (construction) *construction = translator.construction;
        return true;
    }
    if (translator.overflowed())
        error = "the formula's alternating automaton is too large (more than " +
                std::to_string(vwaa_t::max_terms) + " transitions in one state or " +
                std::to_string(vwaa_t::max_stored) + " stored in all); raising -l does not help";
    else if (limits.table_exceeded)
        error = "the automaton needs more than " + std::to_string(ltl_limits_t::max_table_entries) +
                " transitions (a fixed bound); raising -l does not help" + (actions ? "" : ", -a may");
    else if (limits.exceeded)
        error = "the automaton needs more than " + std::to_string(limits.max_states) +
                " states; raising the limit with -l may help";
    return false;
}
