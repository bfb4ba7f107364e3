// Restriction of the model to its deadlock-free implementations, in place.
//
// The processes that keep a deadlock-free implementation form the largest set
// in which each process has a may transition into the set and each of its must
// hypertransitions an alternative into the set. Its complement is computed as a
// least fixpoint by counting: every process keeps the number of its may
// transitions, and every hypertransition the number of its alternatives, that
// do not yet lead to a marked process. Marking a process decreases the
// counters of its predecessors once per entry; a counter reaching 0 marks its
// owner. The first steps of the marking sweep the edge lists; a marking that
// goes on longer continues over predecessor lists, where each process enters
// the queue once and each entry is visited once, so the fixpoint is linear in
// processes plus transitions.
//
// The transition sets lie all over memory in a large model, so they are read
// once, into flat edge lists; afterwards only the processes with transitions
// into marked processes, the ones to prune, are visited again.
#include <algorithm>
#include <vector>

#include "dmts/dmts.hpp"
#include "support/row_layout.hpp"

namespace {

// Predecessor lists of all targets in one array: the entries of target t are
// entries[begin[t] .. begin[t+1]), in the order they were added.
struct predecessor_table_t {
    std::vector<size_t> begin;
    std::vector<int> entries;
};

// An edge into target, recorded for its predecessor entry.
struct edge_entry_t {
    int target;
    int entry;
};

// Groups edges by target, keeping their order within each target.
predecessor_table_t group_by_target(const std::vector<edge_entry_t>& edges, size_t n) {
    row_layout_t<size_t> rows;
    rows.reset(n);
    for (const edge_entry_t& e : edges) rows.count(static_cast<size_t>(e.target));
    rows.close();
    predecessor_table_t table;
    table.entries.resize(edges.size());
    for (const edge_entry_t& e : edges) table.entries[rows.place(static_cast<size_t>(e.target))] = e.entry;
    table.begin = rows.take_begin();
    return table;
}

}  // namespace

void dmts_t::disallow_deadlocks() {
    const size_t n = processes.size();

    // The may counters and the sizes of the lists below come from the
    // process records alone.
    std::vector<unsigned> may_counter(n);
    size_t may_total = 0, hyper_total = 0, alternative_total = 0;
    for (size_t j = 0; j < n; ++j) {
        const process_t& p = *processes[j];
        may_counter[j] = static_cast<unsigned>(p.may.size());
        may_total += p.may.size();
        hyper_total += p.must.size();
        alternative_total += p.must.alternative_count();
    }
    // One pass over the sets: the may edges with their source process, the
    // must alternatives with their hypertransition, and the must counters.
    // Hypertransitions get global numbers in process order and must order.
    std::vector<edge_entry_t> may_edges, must_edges;
    may_edges.reserve(may_total);
    must_edges.reserve(alternative_total);
    std::vector<int> hyper_owner;
    std::vector<unsigned> must_counter;
    hyper_owner.reserve(hyper_total);
    must_counter.reserve(hyper_total);
    for (size_t j = 0; j < n; ++j) {
        const process_t& p = *processes[j];
        for (const transition_t& t : p.may) may_edges.push_back({t.target, static_cast<int>(j)});
        for (const alternatives_t h : p.must) {
            const int hyper = static_cast<int>(hyper_owner.size());
            for (const transition_t& t : h) must_edges.push_back({t.target, hyper});
            hyper_owner.push_back(static_cast<int>(j));
            must_counter.push_back(static_cast<unsigned>(h.size()));
        }
    }
    // Seeds: every process without any may transition, nil and the undefined
    // processes among them. Every predecessor of a marked process has a
    // transition to prune. Counters of marked processes are left alone, so
    // none goes below 0, and every edge into a marked process is counted
    // exactly once, whichever of the two ways below counts it.
    std::vector<char> marked(n, 0);
    std::vector<char> to_prune(n, 0);
    std::vector<int> frontier;  // marked, and their incoming edges not yet counted
    // Marks j, unless it is -1, and notes it in `into`.
    auto mark = [&](std::vector<int>& into, int j) {
        if (j < 0) return;
        marked[static_cast<size_t>(j)] = 1;
        into.push_back(j);
    };
    for (size_t i = 0; i < n; ++i)
        if (may_counter[i] == 0) mark(frontier, static_cast<int>(i));
    // Counts an edge into a marked process against its source: returns the
    // process that this leaves without a way out, or -1.
    auto count_may = [&](int j) {
        to_prune[static_cast<size_t>(j)] = 1;
        return !marked[static_cast<size_t>(j)] && --may_counter[static_cast<size_t>(j)] == 0 ? j : -1;
    };
    auto count_must = [&](int hyper) {
        const int j = hyper_owner[static_cast<size_t>(hyper)];
        to_prune[static_cast<size_t>(j)] = 1;
        return !marked[static_cast<size_t>(j)] && --must_counter[static_cast<size_t>(hyper)] == 0 ? j : -1;
    };

    // Usually the marking stops after a step or two (often only nil and the
    // undefined processes are marked at all), and then a few sequential
    // sweeps over the edge lists, each counting the edges into the last
    // step's newly marked processes, cost less than grouping every edge by
    // target, which writes at random all over tables as large as the model.
    constexpr int sweeps = 3;
    std::vector<char> in_frontier(n, 0);
    for (int sweep = 0; sweep < sweeps && !frontier.empty(); ++sweep) {
        for (int j : frontier) in_frontier[static_cast<size_t>(j)] = 1;
        std::vector<int> next;
        for (const edge_entry_t& e : may_edges)
            if (in_frontier[static_cast<size_t>(e.target)]) mark(next, count_may(e.entry));
        for (const edge_entry_t& e : must_edges)
            if (in_frontier[static_cast<size_t>(e.target)]) mark(next, count_must(e.entry));
        for (int j : frontier) in_frontier[static_cast<size_t>(j)] = 0;
        frontier = std::move(next);
    }

    // A longer cascade goes on breadth-first over predecessor lists, which
    // visits each edge once however many steps it takes; the lists are built
    // only then, and the edge lists are not needed after this point.
    predecessor_table_t may_pred, must_pred;
    if (!frontier.empty()) {
        may_pred = group_by_target(may_edges, n);
        must_pred = group_by_target(must_edges, n);
    }
    std::vector<edge_entry_t>().swap(may_edges);
    std::vector<edge_entry_t>().swap(must_edges);
    std::vector<int>& queue = frontier;  // read from the front
    for (size_t head = 0; head < queue.size(); ++head) {
        const size_t s = static_cast<size_t>(queue[head]);
        for (size_t e = may_pred.begin[s]; e < may_pred.begin[s + 1]; ++e) mark(queue, count_may(may_pred.entries[e]));
        for (size_t e = must_pred.begin[s]; e < must_pred.begin[s + 1]; ++e)
            mark(queue, count_must(must_pred.entries[e]));
    }

    // Pruning: drop every transition into a marked process. Hypertransitions
    // that become equal merge in the new set; one that becomes empty (only
    // possible for a marked owner) stays as the empty hypertransition.
    // Forced choice: an unmarked process without must hypertransitions has to
    // keep at least one of its (remaining, never empty) may transitions.
    auto leads_to_marked = [&](const transition_t& t) { return marked[static_cast<size_t>(t.target)] != 0; };
    hypertransition_t kept;
    for (size_t i = 0; i < n; ++i) {
        process_t& p = *processes[i];
        p.deadlocked = p.deadlocked || marked[i];
        if (to_prune[i]) p.may.erase_if(leads_to_marked);
        const bool must_touched = to_prune[i] && std::any_of(p.must.begin(), p.must.end(), [&](alternatives_t h) {
            return std::any_of(h.begin(), h.end(), leads_to_marked);
        });
        if (must_touched) {
            hypertransition_set_t pruned;
            for (const alternatives_t h : p.must) {
                kept.clear();
                for (const transition_t& t : h)
                    if (!leads_to_marked(t)) kept.push_back(t);
                pruned.append(kept);
            }
            pruned.normalize();
            p.must = std::move(pruned);
        }
        if (!marked[i] && p.must.empty()) p.must.insert(alternatives_t(p.may.begin(), p.may.end()));
    }
}
