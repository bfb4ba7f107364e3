// The checker's fixpoint and component algorithms against brute force on
// many small random inputs: refinement against the naive greatest fixpoint
// over all pairs, satisfaction against an enumeration of every set of
// product nodes that could be the infinity set of a run.
#include <algorithm>
#include <cstdint>
#include <deque>

#include "check/refinement.hpp"
#include "check/satisfaction.hpp"
#include "check_test_support.hpp"

namespace {

struct dice_t {
    uint64_t state;
    int below(int bound) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>((state >> 33) % static_cast<uint64_t>(bound));
    }
};

const char* const action_names[] = {"a", "b", "c"};

lts_t random_lts(dice_t& dice) {
    lts_t lts;
    const int n = 1 + dice.below(4);
    lts.action_names = {"a", "b", "c"};
    lts.first_edge.push_back(0);
    for (int s = 0; s < n; ++s) {
        lts.state_names.push_back("I" + std::to_string(s));
        std::vector<lts_edge_t> edges;
        const int degree = dice.below(4);
        for (int i = 0; i < degree; ++i) edges.push_back({dice.below(3), dice.below(n)});
        std::sort(edges.begin(), edges.end(), [](const lts_edge_t& x, const lts_edge_t& y) {
            return x.action != y.action ? x.action < y.action : x.target < y.target;
        });
        edges.erase(std::unique(edges.begin(), edges.end(),
                                [](const lts_edge_t& x, const lts_edge_t& y) {
                                    return x.action == y.action && x.target == y.target;
                                }),
                    edges.end());
        lts.edges.insert(lts.edges.end(), edges.begin(), edges.end());
        lts.first_edge.push_back(static_cast<int>(lts.edges.size()));
    }
    return lts;
}

std::string random_spec_text(dice_t& dice) {
    const int n = 1 + dice.below(3);
    std::string text;
    auto target = [&] { return dice.below(6) == 0 ? std::string("0") : "P" + std::to_string(dice.below(n)); };
    auto trans = [&] { return std::string(action_names[dice.below(3)]) + " " + target(); };
    for (int p = 0; p < n; ++p) {
        text += "P" + std::to_string(p) + " =";
        const int size = 1 + dice.below(3);
        for (int i = 0; i < size; ++i) {
            text += i ? " + " : " ";
            const int kind = dice.below(3);
            if (kind == 0) text += "?" + trans();
            else if (kind == 1) text += trans();
            else text += "{" + trans() + " | " + trans() + "}";
        }
        text += "\n";
    }
    return text;
}

// Naive greatest fixpoint over every (state, process) pair.
bool naive_refines(const dmts_t& spec, int process, const lts_t& impl) {
    const int ns = impl.state_count(), np = static_cast<int>(spec.processes.size());
    std::vector<int> action(impl.action_names.size(), -1);
    for (size_t a = 0; a < impl.action_names.size(); ++a) {
        action[a] = spec.action_index.find(impl.action_names[a]);
    }
    std::vector<std::vector<char>> related(ns, std::vector<char>(np, 1));
    for (bool changed = true; changed;) {
        changed = false;
        for (int s = 0; s < ns; ++s) {
            for (int p = 0; p < np; ++p) {
                if (!related[s][p]) continue;
                const process_t& proc = *spec.processes[p];
                bool ok = true;
                for (int e = impl.edge_begin(s); ok && e < impl.edge_end(s); ++e) {
                    bool matched = false;
                    for (const transition_t& t : proc.may) {
                        matched |= t.action == action[impl.edges[e].action] && related[impl.edges[e].target][t.target];
                    }
                    ok = matched;
                }
                for (const alternatives_t h : proc.must) {
                    if (!ok) break;
                    bool matched = false;
                    for (const transition_t& t : h) {
                        for (int e = impl.edge_begin(s); e < impl.edge_end(s); ++e) {
                            matched |= t.action == action[impl.edges[e].action] &&
                                       related[impl.edges[e].target][t.target];
                        }
                    }
                    ok = matched;
                }
                if (!ok) {
                    related[s][p] = 0;
                    changed = true;
                }
            }
        }
    }
    return related[0][process];
}

std::string random_automaton_text(dice_t& dice) {
    const int states = 1 + dice.below(3), pairs = dice.below(3);
    std::string text = "DRA v2 explicit\nStates: " + std::to_string(states) + "\nAcceptance-Pairs: " +
                       std::to_string(pairs) + "\nStart: 0\nAP: 2 \"a\" \"b\"\n---\n";
    for (int q = 0; q < states; ++q) {
        text += "State: " + std::to_string(q) + "\nAcc-Sig:";
        for (int i = 0; i < pairs; ++i) {
            const int roll = dice.below(3);
            if (roll) text += (roll == 1 ? " +" : " -") + std::to_string(i);
        }
        text += "\n";
        for (int k = 0; k < 4; ++k) text += std::to_string(dice.below(states)) + (k < 3 ? " " : "\n");
    }
    return text;
}

// Some reachable set of product nodes that is strongly connected, has an
// edge inside, and for every pair holds no good or some bad state?
bool naive_has_rejected_run(const lts_t& impl, const rabin_t& ra) {
    const std::vector<int> letter = action_letters(impl, ra);
    const int q_count = ra.state_count;
    const int n = impl.state_count() * q_count;
    auto node = [&](int s, int q) { return s * q_count + q; };
    std::vector<std::vector<int>> succ(n);
    for (int s = 0; s < impl.state_count(); ++s) {
        for (int q = 0; q < q_count; ++q) {
            for (int e = impl.edge_begin(s); e < impl.edge_end(s); ++e) {
                succ[node(s, q)].push_back(node(impl.edges[e].target, ra.successor(q, letter[impl.edges[e].action])));
            }
        }
    }
    std::vector<char> reachable(n, 0);
    std::deque<int> queue{node(0, ra.start)};
    reachable[queue.front()] = 1;
    while (!queue.empty()) {
        const int v = queue.front();
        queue.pop_front();
        for (int w : succ[v]) {
            if (!reachable[w]) {
                reachable[w] = 1;
                queue.push_back(w);
            }
        }
    }
    for (uint32_t set = 1; set < (1u << n); ++set) {
        bool inside = true;
        for (int v = 0; v < n; ++v) inside &= !((set >> v) & 1) || reachable[v];
        if (!inside) continue;
        // Strongly connected with an edge: from the first member every member
        // is reachable in at least one step inside the set, and back.
        auto reach_from = [&](int from) {
            uint32_t seen = 0;
            std::deque<int> q{from};
            while (!q.empty()) {
                const int v = q.front();
                q.pop_front();
                for (int w : succ[v]) {
                    if (((set >> w) & 1) && !((seen >> w) & 1)) {
                        seen |= 1u << w;
                        q.push_back(w);
                    }
                }
            }
            return seen;
        };
        bool connected = true;
        for (int v = 0; v < n && connected; ++v) {
            if ((set >> v) & 1) connected = (reach_from(v) & set) == set;
        }
        if (!connected) continue;
        bool rejected = true;
        for (int i = 0; i < ra.pair_count; ++i) {
            bool good = false, bad = false;
            for (int v = 0; v < n; ++v) {
                if (!((set >> v) & 1)) continue;
                good |= ra.good[i].test(v % q_count);
                bad |= ra.bad[i].test(v % q_count);
            }
            rejected &= !good || bad;
        }
        if (rejected) return true;
    }
    return false;
}

}  // namespace

TEST(CheckOracle, RefinementAgreesWithTheNaiveGreatestFixpoint) {
    int holding = 0;
    for (uint64_t seed = 1; seed <= 400; ++seed) {
        dice_t dice{seed};
        auto spec = spec_from(random_spec_text(dice));
        const lts_t impl = random_lts(dice);
        const int process = process_of(*spec, "P0");
        const bool expected = naive_refines(*spec, process, impl);
        const check_result_t result = check_refinement(*spec, process, impl);
        ASSERT_EQ(result.holds, expected) << "seed " << seed;
        holding += expected;
        if (!result.holds) {
            // The explanation ends with one of the two base failures.
            const std::string& last = result.lines.back();
            EXPECT_TRUE(last.find(" is not allowed by ") != std::string::npos ||
                        last.find(" offers none of ") != std::string::npos)
                << last;
        }
    }
    // Both verdicts must be well represented for the comparison to mean much.
    EXPECT_GT(holding, 20);
    EXPECT_LT(holding, 380);
}

TEST(CheckOracle, SatisfactionAgreesWithEnumeratedInfinitySets) {
    int holding = 0;
    for (uint64_t seed = 1; seed <= 400; ++seed) {
        dice_t dice{seed * 7919};
        const lts_t impl = random_lts(dice);
        auto ra = automaton_from(random_automaton_text(dice));
        if (impl.state_count() * ra->state_count > 12) continue;  // keep the enumeration small
        const bool expected = !naive_has_rejected_run(impl, *ra);
        lasso_t lasso;
        const check_result_t result = check_satisfaction(impl, *ra, &lasso);
        ASSERT_EQ(result.holds, expected) << "seed " << seed;
        if (!result.holds) {
            EXPECT_TRUE(lasso_is_rejected(impl, *ra, lasso)) << "seed " << seed;
        }
        holding += expected;
    }
    EXPECT_GT(holding, 20);
}
