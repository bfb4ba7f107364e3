// LTL formulas in a hash-consed pool: every distinct subformula exists once
// and is named by a dense int, so equality is an int comparison and the
// rewrite rules can recognise shared subformulas cheaply. Derived operators
// are stored through the core ones (F x = true U x, G x = false R x, ...);
// negation appears only on propositions once a formula is in negation normal
// form, which is what the translation reads.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

enum class ltl_op_t { constant_true, constant_false, prop, not_prop, and_op, or_op, next, until, release };

struct ltl_node_t {
    ltl_op_t op;
    int left = -1;   // operand of next; left operand of and/or/until/release; proposition index
    int right = -1;  // right operand of the binary operators
    bool propositional = false;
    bool suspendable = false;
    int depth = 1;   // operator nesting; the recursive passes rely on the parser bounding it
};

class ltl_pool_t {
public:
    ltl_pool_t();

    // Propositions by name in order of first occurrence.
    int prop_index(const std::string& name);
    const std::vector<std::string>& props() const { return prop_names; }

    const ltl_node_t& node(int f) const { return nodes[static_cast<std::size_t>(f)]; }
    ltl_op_t op(int f) const { return node(f).op; }

    // Smart constructors: each applies the local simplification rules and
    // returns a formula in negation normal form when its operands are.
    int make_true() const { return true_id; }
    int make_false() const { return false_id; }
    int make_prop(int index, bool negated);
    int make_and(int a, int b);
    int make_or(int a, int b);
    int make_next(int a);
    int make_until(int a, int b);
    int make_release(int a, int b);
    int make_eventually(int a) { return make_until(true_id, a); }
    int make_always(int a) { return make_release(false_id, a); }
    int make_weak_until(int a, int b) { return make_release(b, make_or(a, b)); }
    int make_strong_release(int a, int b) { return make_until(b, make_and(a, b)); }
    // The negation normal form of !f.
    int make_not(int f);

    bool is_eventually(int f) const { return op(f) == ltl_op_t::until && node(f).left == true_id; }
    bool is_always(int f) const { return op(f) == ltl_op_t::release && node(f).left == false_id; }
    // A formula without temporal operators.
    bool is_propositional(int f) const { return node(f).propositional; }
    // Formulas whose truth does not depend on any finite prefix (G F x, F G x
    // and their boolean combinations): X and F in front of them change nothing.
    bool is_suspendable(int f) const { return node(f).suspendable; }

    // Fully parenthesised text, using F, G, !, &, |; for messages and tests.
    std::string text(int f) const;

private:
    int intern(ltl_op_t op, int left, int right);
    bool both_limits(int a, int b, bool persistence, int& x, int& y) const;

    std::vector<ltl_node_t> nodes;
    std::unordered_map<unsigned long long, int> index;
    std::unordered_map<std::string, int> prop_ids;
    std::vector<std::string> prop_names;
    int true_id = 0;
    int false_id = 1;
};
