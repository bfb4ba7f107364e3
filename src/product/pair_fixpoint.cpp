#include "product/pair_fixpoint.hpp"

#include <algorithm>
#include <functional>

#include "product/product.hpp"

pair_fixpoint_t::pair_fixpoint_t(const ra_product_t& game, const predecessors_t& predecessors)
    : product(game),
      pred(predecessors),
      n(static_cast<uint32_t>(game.state_count)),
      in_y(n, BS_EMPTY),
      in_x(n, BS_EMPTY),
      in_base(n, BS_EMPTY),
      queued(n, BS_EMPTY),
      y_edges(n, 0),
      outside(n, 0),
      layer(n, 0),
      witness(n, 0) {}

uint32_t pair_fixpoint_t::degree(uint32_t s) const { return product.edge_begin[s + 1] - product.edge_begin[s]; }

bool pair_fixpoint_t::in_cpred_of_y(uint32_t s) const {
    return product.is_choice(static_cast<int>(s)) ? y_edges[s] != 0 : y_edges[s] == 0;
}

void pair_fixpoint_t::join(uint32_t s, uint32_t at) {
    in_x.set(s);
    layer[s] = at;
    joined.push_back(s);
}

uint32_t pair_fixpoint_t::layer_above_successors(uint32_t s) const {
    uint32_t top = 0;
    for (uint32_t e = product.edge_begin[s]; e < product.edge_begin[s + 1]; ++e)
        top = std::max(top, layer[static_cast<uint32_t>(product.edges[e].target)]);
    return top + 1;
}

// Attracts, from the states in the work list, every state of Y outside X that
// allowed admits: a choice node with one successor in X, a state node whose
// outside counter drops to zero. Only states of Y can join, since the
// attractor of a smaller base lies within the attractor of the larger one.
void pair_fixpoint_t::attract(const bitset_t& allowed) {
    for (std::size_t i = 0; i < joined.size(); ++i) {
        const uint32_t t = joined[i];
        for (uint32_t p = pred.begin[t]; p < pred.begin[t + 1]; ++p) {
            const uint32_t entry = pred.source[p];
            const uint32_t s = predecessors_t::state_of(entry);
            if (in_x.test(s) || !in_y.test(s) || !allowed.test(s)) continue;
            if (predecessors_t::is_choice(entry)) {
                witness[s] = t;
                join(s, layer[t] + 1);
            } else if (--outside[s] == 0) {
                join(s, layer_above_successors(s));
            }
        }
    }
    joined.clear();
}

// Takes out of X every member whose justification rests on a root, in
// ascending layer order: when a state of layer L is decided, every state of a
// lower layer has been decided already, so a choice node may safely switch to
// another witness of a lower layer that is still in X.
void pair_fixpoint_t::take_out_unjustified() {
    const auto later = std::greater<uint64_t>();
    auto enqueue = [&](uint32_t s) {
        queued.set(s);
        by_layer.push_back(static_cast<uint64_t>(layer[s]) << 32 | s);
        std::push_heap(by_layer.begin(), by_layer.end(), later);
    };
    for (uint32_t r : roots) enqueue(r);
    roots.clear();
    while (!by_layer.empty()) {
        std::pop_heap(by_layer.begin(), by_layer.end(), later);
        const uint32_t s = static_cast<uint32_t>(by_layer.back());
        by_layer.pop_back();
        decided.push_back(s);
        if (product.is_choice(static_cast<int>(s))) {
            bool rewitnessed = false;
            for (uint32_t e = product.edge_begin[s]; e < product.edge_begin[s + 1] && !rewitnessed; ++e) {
                const uint32_t u = static_cast<uint32_t>(product.edges[e].target);
                if (in_x.test(u) && layer[u] < layer[s]) {
                    witness[s] = u;
                    rewitnessed = true;
                }
            }
            if (rewitnessed) continue;
        }
        in_x.unset(s);
        taken_out.push_back(s);
        for (uint32_t p = pred.begin[s]; p < pred.begin[s + 1]; ++p) {
            const uint32_t entry = pred.source[p];
            const uint32_t q = predecessors_t::state_of(entry);
            if (!in_x.test(q) || in_base.test(q) || queued.test(q)) continue;
            if (!predecessors_t::is_choice(entry) || witness[q] == s) enqueue(q);
        }
    }
    for (uint32_t s : decided) queued.unset(s);
    decided.clear();
}

// Puts back the taken-out states that the remaining members still attract.
void pair_fixpoint_t::put_back_attracted(const bitset_t& allowed) {
    for (uint32_t s : taken_out) {
        if (product.is_choice(static_cast<int>(s))) continue;
        uint32_t count = 0;
        for (uint32_t e = product.edge_begin[s]; e < product.edge_begin[s + 1]; ++e)
            count += in_x.test(static_cast<uint32_t>(product.edges[e].target)) ? 0 : 1;
        outside[s] = count;
    }
    for (uint32_t s : taken_out) {
        if (in_x.test(s) || !allowed.test(s)) continue;
        if (product.is_choice(static_cast<int>(s))) {
            for (uint32_t e = product.edge_begin[s]; e < product.edge_begin[s + 1]; ++e) {
                const uint32_t u = static_cast<uint32_t>(product.edges[e].target);
                if (in_x.test(u)) {
                    witness[s] = u;
                    join(s, layer[u] + 1);
                    break;
                }
            }
        } else if (outside[s] == 0) {
            join(s, layer_above_successors(s));
        }
    }
    attract(allowed);
}

// t leaves Y: its predecessors may leave cpred(Y), and with it base.
void pair_fixpoint_t::leave_y(uint32_t t, const bitset_t& goal) {
    in_y.unset(t);
    for (uint32_t p = pred.begin[t]; p < pred.begin[t + 1]; ++p) {
        const uint32_t entry = pred.source[p];
        const uint32_t s = predecessors_t::state_of(entry);
        const bool was_in = in_cpred_of_y(s);
        if (predecessors_t::is_choice(entry)) --y_edges[s];
        else ++y_edges[s];
        if (was_in && !in_cpred_of_y(s) && in_base.test(s) && !goal.test(s)) {
            in_base.unset(s);
            roots.push_back(s);
        }
    }
}

bitset_t pair_fixpoint_t::greatest(const bitset_t& allowed, const bitset_t& good, const bitset_t& goal,
                                   bitset_t& base) {
    // The first round starts from Y = every state, where cpred(Y) holds every
    // state node and every choice node with a successor.
    in_y = bitset_t(n, BS_FULL);
    in_x = bitset_t(n, BS_EMPTY);
    in_base = goal;
    for (uint32_t s = 0; s < n; ++s) {
        const bool choice = product.is_choice(static_cast<int>(s));
        y_edges[s] = choice ? degree(s) : 0;
        outside[s] = degree(s);
        if (good.test(s) && in_cpred_of_y(s)) in_base.set(s);
        if (in_base.test(s) || (!choice && degree(s) == 0 && allowed.test(s))) join(s, 0);
    }
    attract(allowed);
    for (uint32_t t = 0; t < n; ++t)
        if (!in_x.test(t)) leave_y(t, goal);

    while (!roots.empty()) {
        take_out_unjustified();
        put_back_attracted(allowed);
        for (uint32_t t : taken_out)
            if (!in_x.test(t)) leave_y(t, goal);
        taken_out.clear();
    }
    base = in_base;
    return in_x;
}
