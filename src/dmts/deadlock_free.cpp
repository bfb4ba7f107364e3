// Restriction of the model to its deadlock-free implementations, in place.
//
// The processes that keep a deadlock-free implementation form the largest set
// in which each process has a may transition into the set and each of its must
// hypertransitions an alternative into the set. Its complement is computed as a
// least fixpoint by counting: every process keeps the number of its may
// transitions, and every hypertransition the number of its alternatives, that
// do not yet lead to a marked process. Marking a process decreases the
// counters of its predecessors once per entry; a counter reaching 0 marks its
// owner. Each process enters the queue once and each predecessor entry is
// visited once, so the fixpoint is linear in processes plus transitions.
#include <algorithm>
#include <queue>

#include "dmts/dmts.hpp"

namespace {

// Predecessor lists of all targets in one array: the entries of target t are
// entries[begin[t] .. begin[t+1]), in the order they were added.
struct predecessor_table_t {
    std::vector<size_t> begin;
    std::vector<int> entries;
};

}  // namespace

void dmts_t::disallow_deadlocks() {
    const size_t n = processes.size();
    std::vector<char> marked(n, 0);
    std::queue<int> queue;

    // Seeds: every process without any may transition, nil and the undefined
    // processes among them.
    for (size_t i = 0; i < n; ++i) {
        if (processes[i]->may.empty()) {
            marked[i] = 1;
            queue.push(static_cast<int>(i));
        }
    }

    // Hypertransitions get global numbers: process j's k-th one (in must order)
    // is number must_begin[j] + k, owned by j.
    std::vector<size_t> must_begin(n + 1, 0);
    for (size_t j = 0; j < n; ++j) must_begin[j + 1] = must_begin[j] + processes[j]->must.size();
    const size_t hyper_count = must_begin[n];
    std::vector<int> hyper_owner(hyper_count);
    std::vector<unsigned> must_counter(hyper_count);
    std::vector<unsigned> may_counter(n);

    // Both predecessor tables are filled in two passes (count, then place) over
    // the processes in index order and their sets in set order, which keeps
    // each target's entries in that order.
    predecessor_table_t may_pred, must_pred;
    may_pred.begin.assign(n + 1, 0);
    must_pred.begin.assign(n + 1, 0);
    for (size_t j = 0; j < n; ++j) {
        const process_t& p = *processes[j];
        for (const transition_t& t : p.may) ++may_pred.begin[t.target + 1];
        for (const alternatives_t hyper : p.must)
            for (const transition_t& t : hyper) ++must_pred.begin[t.target + 1];
    }
    for (size_t t = 0; t < n; ++t) {
        may_pred.begin[t + 1] += may_pred.begin[t];
        must_pred.begin[t + 1] += must_pred.begin[t];
    }
    may_pred.entries.resize(may_pred.begin[n]);
    must_pred.entries.resize(must_pred.begin[n]);
    {
        std::vector<size_t> may_fill(may_pred.begin.begin(), may_pred.begin.end() - 1);
        std::vector<size_t> must_fill(must_pred.begin.begin(), must_pred.begin.end() - 1);
        for (size_t j = 0; j < n; ++j) {
            const process_t& p = *processes[j];
            for (const transition_t& t : p.may) may_pred.entries[may_fill[t.target]++] = static_cast<int>(j);
            may_counter[j] = static_cast<unsigned>(p.may.size());
            size_t hyper = must_begin[j];
            for (const alternatives_t h : p.must) {
                for (const transition_t& t : h)
                    must_pred.entries[must_fill[t.target]++] = static_cast<int>(hyper);
                hyper_owner[hyper] = static_cast<int>(j);
                must_counter[hyper] = static_cast<unsigned>(h.size());
                ++hyper;
            }
        }
    }

    // Propagation. A process is marked when it is queued, and counters of
    // marked processes are left alone, so none goes below 0.
    auto mark = [&](int j) {
        marked[j] = 1;
        queue.push(j);
    };
    while (!queue.empty()) {
        const int s = queue.front();
        queue.pop();
        for (size_t e = may_pred.begin[s]; e < may_pred.begin[s + 1]; ++e) {
            const int j = may_pred.entries[e];
            if (!marked[j] && --may_counter[j] == 0) mark(j);
        }
        for (size_t e = must_pred.begin[s]; e < must_pred.begin[s + 1]; ++e) {
            const int hyper = must_pred.entries[e];
            const int j = hyper_owner[hyper];
            if (!marked[j] && --must_counter[hyper] == 0) mark(j);
        }
    }

    // Pruning: drop every transition into a marked process. Hypertransitions
    // that become equal merge in the new set; one that becomes empty (only
    // possible for a marked owner) stays as the empty hypertransition.
    auto leads_to_marked = [&](const transition_t& t) { return marked[t.target] != 0; };
    hypertransition_t kept;
    for (size_t i = 0; i < n; ++i) {
        process_t& p = *processes[i];
        p.deadlocked = p.deadlocked || marked[i];
        p.may.erase_if(leads_to_marked);
        bool touched = false;
        for (const alternatives_t h : p.must) {
            touched = std::any_of(h.begin(), h.end(), leads_to_marked);
            if (touched) break;
        }
        if (!touched) continue;
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

    // Forced choice: an unmarked process without must hypertransitions has to
    // keep at least one of its (remaining, never empty) may transitions.
    for (size_t i = 0; i < n; ++i) {
        process_t& p = *processes[i];
        if (!marked[i] && p.must.empty())
            p.must.insert(alternatives_t(p.may.begin(), p.may.end()));
    }
}
