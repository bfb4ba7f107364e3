// The greatest fixpoint of one acceptance pair, kept up to date round by
// round instead of recomputed (see pair_fixpoint.hpp): Y shrinks, cpred(Y) is
// a counter per state, and the attractor X of base(Y) is repaired by taking
// out what lost its justification and putting back what is still attracted.
// Every round costs time linear in the states that leave Y or X and the edges
// into them; a state leaves Y at most once, so the rounds together cost
// O(n + m) for the shrinking of Y and O(n + m) per round for the repairs of X,
// O(n * (n + m)) at worst and usually a few passes over the product.
#include "product/pair_fixpoint.hpp"

#include <algorithm>

#include "support/prefetch.hpp"

namespace {

// The engine's cache hints, in one place so that the passes read as the
// algorithm. Every pass walks a work list whose later entries say which
// records come next; in a large product those records lie all over memory,
// so they are requested a few entries before they are read.
template <class justifications_t>
struct load_ahead_t {
    const game_view_t& view;
    const predecessors_t& pred;
    const justifications_t& just;

    // The predecessor lists of the states list[i + 8] and list[i + 4].
    [[gnu::always_inline]] void predecessor_lists(const std::vector<uint32_t>& list, std::size_t i) const {
        if (i + 8 < list.size()) prefetch(&pred.begin[list[i + 8]]);
        if (i + 4 < list.size()) prefetch(pred.source.data() + pred.begin[list[i + 4]]);
    }
    // The justifications of the predecessors of t that may join, all
    // requested before any is updated.
    template <class may_join_t>
    [[gnu::always_inline]] void candidates(uint32_t t, may_join_t may_join) const {
        for (uint32_t p = pred.begin[t]; p < pred.begin[t + 1]; ++p) {
            const uint32_t s = predecessors_t::state_of(pred.source[p]);
            if (may_join(s)) prefetch(&just[s]);
        }
    }
    // The justifications and the edges of the choice nodes list[i + 8] and
    // list[i + 4], within a batch that ends at end.
    [[gnu::always_inline]] void choice_nodes(const std::vector<uint32_t>& list, std::size_t i, std::size_t end) const {
        if (i + 8 < end) {
            prefetch(&just[list[i + 8]]);
            prefetch(&view.edge_begin[list[i + 8]]);
        }
        if (i + 4 < end) prefetch(view.edges.data() + view.edge_begin[list[i + 4]]);
    }
    // For the states ahead that are recounted: where their edges lie, the
    // edges, and the justifications of their successors, in three stages.
    template <class recounted_t>
    [[gnu::always_inline]] void recounts(const std::vector<uint32_t>& list, std::size_t i, recounted_t recounted) const {
        const std::size_t count = list.size();
        if (i + 8 < count && recounted(list[i + 8])) {
            prefetch(&view.edge_begin[list[i + 8]]);
            prefetch(&just[list[i + 8]]);
        }
        if (i + 4 < count && recounted(list[i + 4])) prefetch(view.edges.data() + view.edge_begin[list[i + 4]]);
        if (i + 2 < count && recounted(list[i + 2])) {
            const uint32_t ahead = list[i + 2];
            for (uint32_t e = view.edge_begin[ahead]; e < view.edge_begin[ahead + 1]; ++e)
                prefetch(&just[static_cast<uint32_t>(view.edges[e].target)]);
        }
    }
};

}  // namespace

pair_fixpoint_t::pair_fixpoint_t(const game_view_t& game)
    : view(game),
      pred(game.pred),
      n(game.n),
      in_y(n, BS_EMPTY),
      in_x(n, BS_EMPTY),
      in_base(n, BS_EMPTY),
      y_edges(n, 0),
      just(n, justification_t{0, 0}) {}

bool pair_fixpoint_t::in_cpred_of_y(uint32_t s) const {
    return is_choice(s) ? y_edges[s] != 0 : y_edges[s] == 0;
}

void pair_fixpoint_t::join(uint32_t s, uint32_t at) {
    in_x.set(s);
    just[s].layer = at;
    joined.push_back(s);
}

// Attracts, from the states in the work list, every state of Y outside X that
// allowed admits: a choice node with one successor in X, a state node whose
// outside counter drops to zero. Only states of Y can join, since the
// attractor of a smaller base lies within the attractor of the larger one.
void pair_fixpoint_t::attract(const bitset_t& allowed) {
    auto may_join = [&](uint32_t s) { return !in_x.test(s) && in_y.test(s) && allowed.test(s); };
    const load_ahead_t<decltype(just)> ahead{view, pred, just};
    for (std::size_t i = 0; i < joined.size(); ++i) {
        ahead.predecessor_lists(joined, i);
        const uint32_t t = joined[i];
        ahead.candidates(t, may_join);
        for (uint32_t p = pred.begin[t]; p < pred.begin[t + 1]; ++p) {
            const uint32_t entry = pred.source[p];
            const uint32_t s = predecessors_t::state_of(entry);
            if (!may_join(s)) continue;
            if (predecessors_t::is_choice(entry)) {
                witness(s) = t;
                join(s, just[t].layer + 1);
            } else {
                justification_t& j = just[s];
                j.layer = std::max(j.layer, just[t].layer);
                if (--outside(s) == 0) join(s, j.layer + 1);
            }
        }
    }
    joined.clear();
}

// Takes the roots out of X, and every member whose justification rests on
// one that went out. A state node depends on all its successors and goes at
// once. A choice node depends on its witness only: it is noted, and later
// looks for another successor of a lower layer still in X. Layers never
// change here, so the justifications that remain stay well-founded whatever
// the order of the visits; a new witness that goes out later brings its
// choice node back for another look. Every state goes out at most once and a
// choice node is looked at once per edge to a state that went out, so the
// pass is linear in the edges it meets. The choice nodes are looked at in
// batches, once the states gone out so far have been visited, so that each
// batch is a list known ahead.
void pair_fixpoint_t::take_out_unjustified() {
    const load_ahead_t<decltype(just)> ahead{view, pred, just};
    auto take_out = [&](uint32_t s) {
        in_x.unset(s);
        taken_out.push_back(s);
    };
    for (uint32_t r : roots) take_out(r);
    roots.clear();
    std::size_t visited = 0;
    std::size_t looked_at = 0;
    for (;;) {
        for (; visited < taken_out.size(); ++visited) {
            ahead.predecessor_lists(taken_out, visited);
            const uint32_t s = taken_out[visited];
            for (uint32_t p = pred.begin[s]; p < pred.begin[s + 1]; ++p) {
                const uint32_t entry = pred.source[p];
                const uint32_t q = predecessors_t::state_of(entry);
                if (!in_x.test(q) || in_base.test(q)) continue;
                if (predecessors_t::is_choice(entry)) unwitnessed.push_back(q);
                else take_out(q);
            }
        }
        if (looked_at == unwitnessed.size()) break;
        const std::size_t batch_end = unwitnessed.size();
        for (; looked_at < batch_end; ++looked_at) {
            ahead.choice_nodes(unwitnessed, looked_at, batch_end);
            const uint32_t q = unwitnessed[looked_at];
            justification_t& j = just[q];
            // Another visit may have found a new witness or taken q out.
            if (!in_x.test(q) || in_x.test(witness(q))) continue;
            bool rewitnessed = false;
            for (uint32_t e = view.edge_begin[q]; e < view.edge_begin[q + 1] && !rewitnessed; ++e) {
                const uint32_t u = static_cast<uint32_t>(view.edges[e].target);
                if (in_x.test(u) && just[u].layer < j.layer) {
                    witness(q) = u;
                    rewitnessed = true;
                }
            }
            if (!rewitnessed) take_out(q);
        }
    }
    unwitnessed.clear();
}

// Puts back the taken-out states that the remaining members still attract.
void pair_fixpoint_t::put_back_attracted(const bitset_t& allowed) {
    // Only the state nodes still in Y are recounted; on a losing product most
    // of the list has left Y.
    auto recounted = [&](uint32_t s) { return !is_choice(s) && in_y.test(s); };
    const load_ahead_t<decltype(just)> ahead{view, pred, just};
    for (std::size_t i = 0; i < taken_out.size(); ++i) {
        ahead.recounts(taken_out, i, recounted);
        const uint32_t s = taken_out[i];
        if (!recounted(s)) continue;
        justification_t& j = just[s];
        j.layer = 0;
        outside(s) = 0;
        for (uint32_t e = view.edge_begin[s]; e < view.edge_begin[s + 1]; ++e) {
            const uint32_t u = static_cast<uint32_t>(view.edges[e].target);
            if (in_x.test(u)) j.layer = std::max(j.layer, just[u].layer);
            else ++outside(s);
        }
    }
    for (uint32_t s : taken_out) {
        if (in_x.test(s) || !in_y.test(s) || !allowed.test(s)) continue;
        if (is_choice(s)) {
            for (uint32_t e = view.edge_begin[s]; e < view.edge_begin[s + 1]; ++e) {
                const uint32_t u = static_cast<uint32_t>(view.edges[e].target);
                if (in_x.test(u)) {
                    witness(s) = u;
                    join(s, just[u].layer + 1);
                    break;
                }
            }
        } else if (outside(s) == 0) {
            join(s, just[s].layer + 1);
        }
    }
    attract(allowed);
}

// The states in leaving go out of Y, and with them, transitively, every state
// outside goal that drops out of cpred(Y): a state node with a successor
// outside Y, a choice node with none inside. Such a state cannot be in the
// greatest fixpoint, whose members outside goal all lie in cpred of it, so
// removing it now only saves the rounds that would remove it one by one.
// The ones in X become roots of the next take-out pass.
void pair_fixpoint_t::leave_y(const bitset_t& goal) {
    for (uint32_t t : leaving) in_y.unset(t);
    const load_ahead_t<decltype(just)> ahead{view, pred, just};
    for (std::size_t i = 0; i < leaving.size(); ++i) {
        ahead.predecessor_lists(leaving, i);
        const uint32_t t = leaving[i];
        for (uint32_t p = pred.begin[t]; p < pred.begin[t + 1]; ++p) {
            const uint32_t entry = pred.source[p];
            const uint32_t s = predecessors_t::state_of(entry);
            if (predecessors_t::is_choice(entry)) --y_edges[s];
            else ++y_edges[s];
            if (!in_y.test(s) || goal.test(s) || in_cpred_of_y(s)) continue;
            in_y.unset(s);
            leaving.push_back(s);
            if (in_x.test(s)) {
                in_base.unset(s);
                roots.push_back(s);
            }
        }
    }
    leaving.clear();
}

bitset_t pair_fixpoint_t::greatest(const bitset_t& allowed, const bitset_t& good, const bitset_t& goal,
                                   bitset_t& base, const bitset_t* within) {
    in_x = bitset_t(n, BS_EMPTY);
    in_base = goal;
    if (within == nullptr) {
        // The first round starts from Y = every state, where cpred(Y) holds
        // every state node and every choice node with a successor.
        in_y = bitset_t(n, BS_FULL);
        for (uint32_t s = 0; s < n; ++s) {
            const bool choice = is_choice(s);
            y_edges[s] = choice ? degree(s) : 0;
            just[s] = justification_t{0, choice ? 0 : degree(s)};
            if (good.test(s) && in_cpred_of_y(s)) in_base.set(s);
            if (in_base.test(s) || (!choice && degree(s) == 0 && allowed.test(s))) join(s, 0);
        }
        attract(allowed);
        for (uint32_t t = 0; t < n; ++t)
            if (!in_x.test(t)) leaving.push_back(t);
    } else {
        // States outside within keep stale counters; no pass reads them, as
        // every pass looks at members of Y only.
        in_y = *within;
        for (uint32_t s = in_y.next(0); s < n; s = in_y.next(s + 1)) {
            const bool choice = is_choice(s);
            uint32_t inside = 0;
            for (uint32_t e = view.edge_begin[s]; e < view.edge_begin[s + 1]; ++e)
                inside += in_y.test(static_cast<uint32_t>(view.edges[e].target));
            y_edges[s] = choice ? inside : degree(s) - inside;
            just[s] = justification_t{0, choice ? 0 : degree(s)};
            if (good.test(s) && in_cpred_of_y(s)) in_base.set(s);
            if (in_base.test(s) || (!choice && degree(s) == 0 && allowed.test(s))) join(s, 0);
        }
        attract(allowed);
        for (uint32_t t = in_y.next(0); t < n; t = in_y.next(t + 1))
            if (!in_x.test(t)) leaving.push_back(t);
    }
    leave_y(goal);

    while (!roots.empty()) {
        take_out_unjustified();
        put_back_attracted(allowed);
        for (uint32_t t : taken_out)
            if (in_y.test(t) && !in_x.test(t)) leaving.push_back(t);
        taken_out.clear();
        leave_y(goal);
    }
    base = in_base;
    return in_x;
}
