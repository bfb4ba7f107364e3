#include "ltl/formula.hpp"

#include <algorithm>
#include <utility>

ltl_pool_t::ltl_pool_t() {
    true_id = intern(ltl_op_t::constant_true, -1, -1);
    false_id = intern(ltl_op_t::constant_false, -1, -1);
}

int ltl_pool_t::prop_index(const std::string& name) {
    auto found = prop_ids.find(name);
    if (found != prop_ids.end()) return found->second;
    int id = static_cast<int>(prop_names.size());
    prop_names.push_back(name);
    prop_ids.emplace(name, id);
    return id;
}

int ltl_pool_t::intern(ltl_op_t op, int left, int right) {
    const unsigned long long key = (static_cast<unsigned long long>(op) << 58) |
                                   (static_cast<unsigned long long>(left + 1) << 29) |
                                   static_cast<unsigned long long>(right + 1);
    auto found = index.find(key);
    if (found != index.end()) return found->second;
    ltl_node_t n{op, left, right};
    const bool has_operands = op != ltl_op_t::constant_true && op != ltl_op_t::constant_false &&
                              op != ltl_op_t::prop && op != ltl_op_t::not_prop;
    if (!has_operands) {
        n.propositional = true;
    } else {
        const ltl_node_t& l = node(left);
        const ltl_node_t* r = right >= 0 ? &node(right) : nullptr;
        n.depth = 1 + std::max(l.depth, r ? r->depth : 0);
        switch (op) {
        case ltl_op_t::and_op:
        case ltl_op_t::or_op:
            n.propositional = l.propositional && r->propositional;
            n.suspendable = l.suspendable && r->suspendable;
            break;
        case ltl_op_t::next:
            n.suspendable = l.suspendable;
            break;
        case ltl_op_t::until:  // F G x and F of anything suspendable
            n.suspendable = left == true_id && (r->suspendable || (r->op == ltl_op_t::release && r->left == false_id));
            break;
        case ltl_op_t::release:  // G F x and G of anything suspendable
            n.suspendable = left == false_id && (r->suspendable || (r->op == ltl_op_t::until && r->left == true_id));
            break;
        default:
            break;
        }
    }
    const int id = static_cast<int>(nodes.size());
    nodes.push_back(n);
    index.emplace(key, id);
    return id;
}

int ltl_pool_t::make_prop(int index_of_prop, bool negated) {
    return intern(negated ? ltl_op_t::not_prop : ltl_op_t::prop, index_of_prop, -1);
}

// True when a and b are the two literals of one proposition.
static bool opposite_literals(const ltl_pool_t& pool, int a, int b) {
    const ltl_node_t& x = pool.node(a);
    const ltl_node_t& y = pool.node(b);
    return x.left == y.left && ((x.op == ltl_op_t::prop && y.op == ltl_op_t::not_prop) ||
                                (x.op == ltl_op_t::not_prop && y.op == ltl_op_t::prop));
}

// Whether a and b are both F G x (persistence, when true) or both G F x
// (recurrence) with propositional x; their inner formulas go to x and y.
// Only propositional ones are joined: the rules that split F over | and G
// over & would undo the join of temporal ones.
bool ltl_pool_t::both_limits(int a, int b, bool persistence, int& x, int& y) const {
    auto inner = [&](int f, int& result) {
        const bool outer = persistence ? is_eventually(f) : is_always(f);
        if (!outer) return false;
        const int g = node(f).right;
        if (!(persistence ? is_always(g) : is_eventually(g)) || !is_propositional(node(g).right)) return false;
        result = node(g).right;
        return true;
    };
    return inner(a, x) && inner(b, y);
}

int ltl_pool_t::make_and(int a, int b) {
    if (a == false_id || b == false_id) return false_id;
    if (a == true_id) return b;
    if (b == true_id || a == b) return a;
    if (opposite_literals(*this, a, b)) return false_id;
    if (op(a) == ltl_op_t::next && op(b) == ltl_op_t::next)  // X x & X y = X (x & y)
        return make_next(make_and(node(a).left, node(b).left));
    int x, y;
    if (both_limits(a, b, true, x, y))  // F G x & F G y = F G (x & y)
        return make_eventually(make_always(make_and(x, y)));
    if (a > b) std::swap(a, b);  // commutative: one shared node for both orders
    return intern(ltl_op_t::and_op, a, b);
}

int ltl_pool_t::make_or(int a, int b) {
    if (a == true_id || b == true_id) return true_id;
    if (a == false_id) return b;
    if (b == false_id || a == b) return a;
    if (opposite_literals(*this, a, b)) return true_id;
    if (op(a) == ltl_op_t::next && op(b) == ltl_op_t::next)  // X x | X y = X (x | y)
        return make_next(make_or(node(a).left, node(b).left));
    int x, y;
    if (both_limits(a, b, false, x, y))  // G F x | G F y = G F (x | y)
        return make_always(make_eventually(make_or(x, y)));
    if (a > b) std::swap(a, b);
    return intern(ltl_op_t::or_op, a, b);
}

int ltl_pool_t::make_next(int a) {
    if (a == true_id || a == false_id || is_suspendable(a)) return a;
    return intern(ltl_op_t::next, a, -1);
}

int ltl_pool_t::make_until(int a, int b) {
    if (b == true_id || b == false_id || a == false_id || a == b) return b;
    if (is_eventually(b)) return b;  // x U F y = F y, and F F y = F y
    if (a == true_id) {
        if (is_suspendable(b)) return b;                            // F G F y = G F y
        if (op(b) == ltl_op_t::next) return make_next(make_eventually(node(b).left));  // F X y = X F y
        // F (x | y) = F x | F y, unless one until state can wait for both at once
        if (op(b) == ltl_op_t::or_op && !is_propositional(b))
            return make_or(make_eventually(node(b).left), make_eventually(node(b).right));
        if (op(b) == ltl_op_t::and_op) {
            const int l = node(b).left, r = node(b).right;
            if (is_suspendable(l)) return make_and(make_eventually(r), l);  // F (x & s) = F x & s
            if (is_suspendable(r)) return make_and(make_eventually(l), r);
            if (is_always(l) && is_always(r))                         // F (G x & G y) = F G x & F G y
                return make_and(make_eventually(l), make_eventually(r));
        }
    }
    if (op(a) == ltl_op_t::next && op(b) == ltl_op_t::next)  // X x U X y = X (x U y)
        return make_next(make_until(node(a).left, node(b).left));
    return intern(ltl_op_t::until, a, b);
}

int ltl_pool_t::make_release(int a, int b) {
    if (b == true_id || b == false_id || a == true_id || a == b) return b;
    if (is_always(b)) return b;  // x R G y = G y, and G G y = G y
    if (a == false_id) {
        if (is_suspendable(b)) return b;                            // G F G y = F G y
        if (op(b) == ltl_op_t::next) return make_next(make_always(node(b).left));  // G X y = X G y
        if (op(b) == ltl_op_t::and_op && !is_propositional(b))      // G (x & y) = G x & G y
            return make_and(make_always(node(b).left), make_always(node(b).right));
        if (op(b) == ltl_op_t::or_op) {
            const int l = node(b).left, r = node(b).right;
            if (is_suspendable(l)) return make_or(make_always(r), l);  // G (x | s) = G x | s
            if (is_suspendable(r)) return make_or(make_always(l), r);
            if (is_eventually(l) && is_eventually(r))                 // G (F x | F y) = G F x | G F y
                return make_or(make_always(l), make_always(r));
        }
    }
    if (op(a) == ltl_op_t::next && op(b) == ltl_op_t::next)  // X x R X y = X (x R y)
        return make_next(make_release(node(a).left, node(b).left));
    return intern(ltl_op_t::release, a, b);
}

int ltl_pool_t::make_not(int f) {
    const ltl_node_t n = node(f);
    switch (n.op) {
    case ltl_op_t::constant_true: return false_id;
    case ltl_op_t::constant_false: return true_id;
    case ltl_op_t::prop: return make_prop(n.left, true);
    case ltl_op_t::not_prop: return make_prop(n.left, false);
    case ltl_op_t::and_op: return make_or(make_not(n.left), make_not(n.right));
    case ltl_op_t::or_op: return make_and(make_not(n.left), make_not(n.right));
    case ltl_op_t::next: return make_next(make_not(n.left));
    case ltl_op_t::until: return make_release(make_not(n.left), make_not(n.right));
    case ltl_op_t::release: return make_until(make_not(n.left), make_not(n.right));
    }
    return f;
}

std::string ltl_pool_t::text(int f) const {
    const ltl_node_t& n = node(f);
    switch (n.op) {
    case ltl_op_t::constant_true: return "true";
    case ltl_op_t::constant_false: return "false";
    case ltl_op_t::prop: return prop_names[static_cast<std::size_t>(n.left)];
    case ltl_op_t::not_prop: return "!" + prop_names[static_cast<std::size_t>(n.left)];
    case ltl_op_t::and_op: return "(" + text(n.left) + " & " + text(n.right) + ")";
    case ltl_op_t::or_op: return "(" + text(n.left) + " | " + text(n.right) + ")";
    case ltl_op_t::next: return "X " + text(n.left);
    case ltl_op_t::until:
        if (n.left == true_id) return "F " + text(n.right);
        return "(" + text(n.left) + " U " + text(n.right) + ")";
    case ltl_op_t::release:
        if (n.left == false_id) return "G " + text(n.right);
        return "(" + text(n.left) + " R " + text(n.right) + ")";
    }
    return "?";
}
