// The minimisation compared, on many random implementations, with a literal
// pass-based refinement that keeps one bit set per block and per
// (target, action) predecessor entry and intersects every block with every
// predecessor set. Both must agree on every block index, on the numbering and
// on the printed text.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <utility>

#include "implementation_test_support.hpp"
#include "product/partition.hpp"

namespace {

class reference_minimiser_t {
public:
    reference_minimiser_t(int states, int actions, const bitset_t& members, const std::vector<impl_transition_t>& ts)
        : state_count(states), action_count(actions), impl_states(members), impl_trans(ts) {}

    std::vector<bitset_t> partition;
    std::map<int, int> number;
    std::map<int, std::set<std::pair<int, int>>> quotient;

    void run() {
        partition.assign(1, impl_states);
        precompute();
        bool changed = true;
        while (changed) {
            changed = false;
            const std::vector<bitset_t> snapshot = partition;
            for (int a = 0; a < action_count; ++a)
                for (const bitset_t& block : snapshot)
                    if (refine(partition, pre(a, block))) changed = true;
        }
        refined = partition;
        for (int s = 0; s < state_count; ++s) {
            for (size_t i = 0; i < partition.size(); ++i) {
                if (!partition[i].test(static_cast<uint32_t>(s))) continue;
                if (s == 0 && i != 0) {
                    std::swap(partition[0], partition[i]);
                    number[s] = 0;
                } else {
                    number[s] = static_cast<int>(i);
                }
                break;
            }
        }
        for (const impl_transition_t& t : impl_trans) quotient[number[t.source]].insert({t.action, number[t.target]});
    }

    std::vector<impl_transition_t> quotient_list() const {
        std::vector<impl_transition_t> list;
        for (const auto& [k, pairs] : quotient)
            for (const auto& [a, k2] : pairs) list.push_back({k, a, k2});
        return list;
    }

    std::vector<bitset_t> refined;  // the partition before the numbering's exchange

private:
    void precompute() {
        for (int t = 0; t < state_count; ++t)
            if (impl_states.test(static_cast<uint32_t>(t)) && !pred.count(t))
                pred[t] = std::vector<bitset_t>(static_cast<size_t>(action_count),
                                                bitset_t(static_cast<uint32_t>(state_count), BS_EMPTY));
        for (const impl_transition_t& t : impl_trans) pred[t.target][t.action].set(static_cast<uint32_t>(t.source));
    }
    bitset_t pre(int a, const bitset_t& x) {
        bitset_t result(static_cast<uint32_t>(state_count), BS_EMPTY);
        for (int t = 0; t < state_count; ++t)
            if (x.test(static_cast<uint32_t>(t))) result.unite_with(pred[t][a]);
        return result;
    }
    static bool refine(std::vector<bitset_t>& blocks, const bitset_t& s) {
        const size_t n = blocks.size();
        bool split = false;
        for (size_t i = 0; i < n; ++i) {
            bitset_t inside = blocks[i];
            inside.intersect_with(s);
            if (!inside.is_empty() && !inside.equals(blocks[i])) {
                blocks[i].subtract(inside);
                blocks.push_back(inside);
                split = true;
            }
        }
        return split;
    }

    int state_count, action_count;
    const bitset_t& impl_states;
    const std::vector<impl_transition_t>& impl_trans;
    std::map<int, std::vector<bitset_t>> pred;
};

// A random solved product: mostly state nodes, some choice nodes with ranked
// alternatives, every state winning. Few actions and a small out-degree give
// many equivalent states and long chains of splits.
hand_product_t random_product(std::mt19937& rng, const std::vector<std::string>& actions) {
    hand_product_t h("P", actions);
    const int n = std::uniform_int_distribution<int>(1, 48)(rng);
    std::vector<bool> choice(static_cast<size_t>(n), false);
    for (int s = 1; s < n; ++s) choice[s] = rng() % 6 == 0;
    for (int s = 0; s < n; ++s) h.add_state(choice[s] ? 0 : -1);
    std::vector<uint32_t> rank(static_cast<size_t>(n));
    for (int s = 0; s < n; ++s) rank[s] = rng() % 3;
    auto random_state_node = [&]() {
        for (;;) {
            int t = static_cast<int>(rng() % static_cast<uint32_t>(n));
            if (!choice[t]) return t;
        }
    };
    const int max_degree = 1 + static_cast<int>(rng() % 3);
    for (int s = 0; s < n; ++s) {
        const int degree = static_cast<int>(rng() % static_cast<uint32_t>(max_degree + 1));
        uint32_t best = 0xffffffffu;
        for (int e = 0; e < degree; ++e) {
            const int a = static_cast<int>(rng() % actions.size());
            if (!choice[s] && rng() % 5 == 0) {
                const int c = static_cast<int>(rng() % static_cast<uint32_t>(n));
                if (choice[c]) {
                    h.add_edge(s, -1, c);
                    continue;
                }
            }
            const int t = random_state_node();
            h.add_edge(s, a, t);
            if (rng() % 8 == 0) h.add_edge(s, a, t);  // a duplicate
            best = std::min(best, rank[t]);
        }
        h.set_winning(s, rank[s]);
        if (choice[s]) h.set_best_rank(s, best);
    }
    return h;
}

TEST(MinimizeReference, AgreesWithLiteralRefinementOnRandomImplementations) {
    std::mt19937 rng(20261208);
    const std::vector<std::vector<std::string>> alphabets = {{"a"}, {"a", "b"}, {"a", "b", "c", "d"}};
    int nontrivial = 0;
    for (int round = 0; round < 1500; ++round) {
        const std::vector<std::string>& actions = alphabets[round % alphabets.size()];
        const uint32_t seed = static_cast<uint32_t>(rng());

        std::mt19937 build_a(seed);
        hand_product_t extracted = random_product(build_a, actions);
        ra_product_t& p = extracted.finish();
        p.produce_impl();
        reference_minimiser_t reference(p.state_count, p.action_count, *p.impl_states, p.impl_trans);
        reference.run();

        std::vector<int> members;
        for (int s = 0; s < p.state_count; ++s)
            if (p.impl_states->test(static_cast<uint32_t>(s))) members.push_back(s);
        const block_partition_t partition = refine_partition(p.state_count, p.action_count, members, p.impl_trans);
        ASSERT_EQ(partition.block_count, static_cast<int>(reference.refined.size())) << "seed " << seed;
        for (int s = 0; s < p.state_count; ++s) {
            const int b = partition.block_of[s];
            if (b < 0) {
                ASSERT_FALSE(p.impl_states->test(static_cast<uint32_t>(s))) << "seed " << seed;
                continue;
            }
            ASSERT_TRUE(reference.refined[b].test(static_cast<uint32_t>(s))) << "seed " << seed << " state " << s;
        }
        const std::vector<int> class_of = number_classes(partition, 0);
        for (const auto& [s, k] : reference.number) ASSERT_EQ(class_of[s], k) << "seed " << seed;
        if (partition.block_count > 2) ++nontrivial;

        std::mt19937 build_b(seed);
        hand_product_t minimised = random_product(build_b, actions);
        ra_product_t& q = minimised.finish();
        q.minimize_impl();
        const std::string expected = std::string(yes_line_p) +
                                     (q.has_edges() ? "" : "There exists an implementation with no transitions.\n") +
                                     listing(reference.quotient_list(), actions);
        ASSERT_EQ(print_impl(q, false).out, expected) << "seed " << seed;
    }
    // The generator must produce real refinement work, not only one or two classes.
    EXPECT_GT(nontrivial, 300);
}

}  // namespace
