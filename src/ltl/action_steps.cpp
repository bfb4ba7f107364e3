#include "ltl/action_steps.hpp"

#include <unordered_map>

namespace {

// The letters (none, or proposition j alone as j + 1) at which a formula
// may hold in its first step: a superset, from the operators alone.
class first_step_t {
public:
    explicit first_step_t(const ltl_pool_t& pool) : pool(pool), letters(pool.props().size() + 1) {}

    // Recursion follows the formula's nesting, which the parser bounds.
    const std::vector<char>& of(int f) {
        auto found = memo.find(f);
        if (found != memo.end()) return found->second;
        const ltl_node_t n = pool.node(f);
        std::vector<char> r(letters, 0);
        switch (n.op) {
        case ltl_op_t::constant_true:
        case ltl_op_t::next: r.assign(letters, 1); break;
        case ltl_op_t::constant_false: break;
        case ltl_op_t::prop: r[static_cast<std::size_t>(n.left) + 1] = 1; break;
        case ltl_op_t::not_prop:
            r.assign(letters, 1);
            r[static_cast<std::size_t>(n.left) + 1] = 0;
            break;
        case ltl_op_t::and_op:
        case ltl_op_t::or_op:
        case ltl_op_t::until: {  // a U b holds now only where a or b does
            const std::vector<char> left = of(n.left);
            const std::vector<char>& right = of(n.right);
            for (std::size_t l = 0; l < letters; ++l)
                r[l] = n.op == ltl_op_t::and_op ? left[l] && right[l] : left[l] || right[l];
            break;
        }
        case ltl_op_t::release: r = of(n.right); break;  // a R b needs b now
        }
        return memo.emplace(f, std::move(r)).first->second;
    }

private:
    const ltl_pool_t& pool;
    const std::size_t letters;
    std::unordered_map<int, std::vector<char>> memo;
};

}  // namespace

std::vector<std::size_t> impossible_conjunctions(const ltl_pool_t& pool, const std::vector<ltl_conjunction_t>& conjunctions) {
    first_step_t first(pool);
    std::vector<std::size_t> columns;
    for (const ltl_conjunction_t& c : conjunctions) {
        // A negated conjunction is a disjunction of negations (G !(p & q) is
        // mutual exclusion, written on purpose), which needs no proposition.
        if (!c.positive) continue;
        const std::vector<char> left = first.of(c.left);
        const std::vector<char>& right = first.of(c.right);
        // A side that may hold where no proposition does is no such need
        // (a & !a is a plain contradiction, reported by nobody).
        bool needs_both = !left[0] && !right[0], left_any = false, right_any = false, meet = false;
        for (std::size_t l = 1; l < left.size(); ++l) {
            left_any = left_any || left[l];
            right_any = right_any || right[l];
            meet = meet || (left[l] && right[l]);
        }
        if (needs_both && left_any && right_any && !meet) columns.push_back(c.column);
    }
    return columns;
}
