#include "check/refinement.hpp"

#include <algorithm>
#include <climits>
#include <deque>

#include "check/pair_index.hpp"
#include "dmts/dmts.hpp"

namespace {

enum class counter_kind_t { transition, must };

// One obligation of a pair: an implementation transition that needs a
// matching may transition, or a must hypertransition that needs a matching
// implementation transition. remaining counts the matches into live pairs.
struct counter_t {
    int owner;
    counter_kind_t kind;
    int edge;                         // transition: the implementation edge index
    alternatives_t hyper;             // must: the hypertransition
    int remaining;
};

struct contribution_t {
    int pair;     // the pair whose death withdraws one match
    int counter;  // from this counter
};

class refinement_checker_t {
public:
    refinement_checker_t(const dmts_t& spec, const lts_t& impl)
        : spec_(spec), impl_(impl),
          pairs_(impl.state_count(), static_cast<int>(spec.processes.size())) {
        map_actions();
    }

    check_result_t run(int process) {
        pairs_.add(0, process);
        explore();
        propagate();
        check_result_t result;
        if (death_[0] < 0) return result;
        result.holds = false;
        explain(result);
        return result;
    }

private:
    // Implementation actions become specification action indices (-1: unknown
    // there), and each state's edges are ordered by that index so that the
    // edges of one action form a contiguous run.
    void map_actions() {
        spec_action_.resize(impl_.action_names.size());
        for (size_t a = 0; a < impl_.action_names.size(); ++a) {
            spec_action_[a] = spec_.action_index.find(impl_.action_names[a]);
        }
        order_.resize(impl_.edges.size());
        for (size_t e = 0; e < order_.size(); ++e) order_[e] = static_cast<int>(e);
        for (int s = 0; s < impl_.state_count(); ++s) {
            std::stable_sort(order_.begin() + impl_.edge_begin(s), order_.begin() + impl_.edge_end(s),
                             [this](int x, int y) { return action_of(x) < action_of(y); });
        }
    }

    int action_of(int edge) const { return spec_action_[impl_.edges[edge].action]; }

    // The positions in order_ of the edges of state s with specification action a.
    std::pair<int, int> edges_with_action(int s, int a) const {
        auto begin = order_.begin() + impl_.edge_begin(s);
        auto end = order_.begin() + impl_.edge_end(s);
        auto low = std::lower_bound(begin, end, a, [this](int e, int x) { return action_of(e) < x; });
        auto high = std::upper_bound(low, end, a, [this](int x, int e) { return x < action_of(e); });
        return {static_cast<int>(low - order_.begin()), static_cast<int>(high - order_.begin())};
    }

    int match(int counter, int state, int process) {
        const int pair = pairs_.add(state, process).first;
        contributions_.push_back({pair, counter});
        ++counters_[counter].remaining;
        return pair;
    }

    // Breadth-first over the pairs in number order; every pair that some
    // obligation could be matched with is numbered and expanded once.
    void explore() {
        for (int x = 0; x < pairs_.size(); ++x) {
            const int s = pairs_.first(x);
            const process_t& p = *spec_.processes[pairs_.second(x)];
            for (int e = impl_.edge_begin(s); e < impl_.edge_end(s); ++e) {
                const int c = new_counter(x, counter_kind_t::transition, e, alternatives_t());
                const int a = spec_action_[impl_.edges[e].action];
                if (a < 0) continue;
                for (auto it = p.may.lower_bound({a, INT_MIN}); it != p.may.end() && it->action == a; ++it) {
                    match(c, impl_.edges[e].target, it->target);
                }
            }
            for (const alternatives_t h : p.must) {
                const int c = new_counter(x, counter_kind_t::must, -1, h);
                for (const transition_t& alternative : h) {
                    auto range = edges_with_action(s, alternative.action);
                    for (int i = range.first; i < range.second; ++i) {
                        match(c, impl_.edges[order_[i]].target, alternative.target);
                    }
                }
            }
        }
    }

    int new_counter(int owner, counter_kind_t kind, int edge, alternatives_t h) {
        counters_.push_back({owner, kind, edge, h, 0});
        return static_cast<int>(counters_.size()) - 1;
    }

    void kill(int pair, int counter, std::deque<int>& worklist) {
        death_[pair] = next_stamp_++;
        reason_[pair] = counter;
        worklist.push_back(pair);
    }

    void propagate() {
        const int n = pairs_.size();
        death_.assign(n, -1);
        reason_.assign(n, -1);
        // Contributions grouped by the pair whose death withdraws them.
        std::vector<int> start(n + 1, 0);
        for (const contribution_t& c : contributions_) ++start[c.pair + 1];
        for (int i = 0; i < n; ++i) start[i + 1] += start[i];
        std::vector<int> by_pair(contributions_.size());
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (const contribution_t& c : contributions_) by_pair[fill[c.pair]++] = c.counter;

        std::deque<int> worklist;
        for (size_t c = 0; c < counters_.size(); ++c) {
            if (counters_[c].remaining == 0 && death_[counters_[c].owner] < 0) {
                kill(counters_[c].owner, static_cast<int>(c), worklist);
            }
        }
        while (!worklist.empty()) {
            const int y = worklist.front();
            worklist.pop_front();
            for (int i = start[y]; i < start[y + 1]; ++i) {
                counter_t& c = counters_[by_pair[i]];
                if (death_[c.owner] >= 0) continue;
                if (--c.remaining == 0) kill(c.owner, by_pair[i], worklist);
            }
        }
    }

    std::string process_name(int p) const { return spec_.processes[p]->name; }

    std::string pair_text(int x) const {
        return "(" + impl_.state_names[pairs_.first(x)] + ", " + process_name(pairs_.second(x)) + ")";
    }

    std::string hyper_text(alternatives_t h) const {
        std::string text;
        for (const transition_t& t : h) {
            text += (text.empty() ? "{" : " | ") + spec_.action_names[t.action] + "." + process_name(t.target);
        }
        return text + "}";
    }

    // Follows the reasons from the initial pair. Every pair that an obligation
    // of a dead pair could still have been matched with died earlier, so
    // following the earliest-dead candidate strictly decreases the death stamp
    // and ends at a pair whose obligation had no match at all.
    void explain(check_result_t& result) const {
        result.lines.push_back("does not hold: " + impl_.state_names[0] + " does not refine " +
                               process_name(pairs_.second(0)));
        int x = 0;
        for (;;) {
            const counter_t& c = counters_[reason_[x]];
            const int s = pairs_.first(x);
            const int p = pairs_.second(x);
            const process_t& process = *spec_.processes[p];
            int best = -1;
            std::string via;
            if (c.kind == counter_kind_t::transition) {
                const lts_edge_t& edge = impl_.edges[c.edge];
                const int a = spec_action_[edge.action];
                if (a >= 0) {
                    for (auto it = process.may.lower_bound({a, INT_MIN});
                         it != process.may.end() && it->action == a; ++it) {
                        const int y = pairs_.find(edge.target, it->target);
                        if (best < 0 || death_[y] < death_[best]) best = y;
                    }
                }
                const std::string step = pair_text(x) + ": " + edge_text(impl_, s, edge);
                if (best < 0) {
                    result.lines.push_back("  " + step + " is not allowed by " + process_name(p));
                    return;
                }
                result.lines.push_back("  " + step + " is allowed by " + process_name(p) +
                                       " only towards processes that " + impl_.state_names[edge.target] +
                                       " does not refine, such as " + process_name(pairs_.second(best)));
            } else {
                for (const transition_t& alternative : c.hyper) {
                    auto range = edges_with_action(s, alternative.action);
                    for (int i = range.first; i < range.second; ++i) {
                        const lts_edge_t& edge = impl_.edges[order_[i]];
                        const int y = pairs_.find(edge.target, alternative.target);
                        if (best < 0 || death_[y] < death_[best]) {
                            best = y;
                            via = edge_text(impl_, s, edge) + " for " + spec_.action_names[alternative.action] +
                                  "." + process_name(alternative.target);
                        }
                    }
                }
                const std::string step = pair_text(x) + ": " + impl_.state_names[s] + " offers ";
                if (best < 0) {
                    result.lines.push_back("  " + step + "none of " + hyper_text(c.hyper) + " required by " +
                                           process_name(p));
                    return;
                }
                result.lines.push_back("  " + step + hyper_text(c.hyper) + " required by " + process_name(p) +
                                       " only through failing transitions, such as " + via);
            }
            x = best;
        }
    }

    const dmts_t& spec_;
    const lts_t& impl_;
    pair_index_t pairs_;
    std::vector<int> spec_action_;
    std::vector<int> order_;
    std::vector<counter_t> counters_;
    std::vector<contribution_t> contributions_;
    std::vector<int> death_;   // order of death, -1 while alive
    std::vector<int> reason_;  // the counter that killed the pair
    int next_stamp_ = 0;
};

}  // namespace

check_result_t check_refinement(const dmts_t& spec, int process, const lts_t& impl) {
    refinement_checker_t checker(spec, impl);
    return checker.run(process);
}
