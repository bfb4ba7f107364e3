#include "reference_solver.hpp"

#include <string>
#include <unordered_map>
#include <utility>

namespace product_test {

namespace {

bitset_t state_node_set(const ra_product_t& product) {
    bitset_t nodes(static_cast<uint32_t>(product.state_count), BS_EMPTY);
    for (int s = 0; s < product.state_count; ++s)
        if (product.states[static_cast<std::size_t>(s)].choice == -1) nodes.set(static_cast<uint32_t>(s));
    return nodes;
}

class reference_solver_t {
public:
    explicit reference_solver_t(const ra_product_t& game)
        : product(game), n(static_cast<uint32_t>(game.state_count)), rank(n, 0) {}

    reference_verdict_t solve() {
        uint32_t counter = 0;
        bitset_t ranked(n, BS_EMPTY);
        bitset_t pairs(static_cast<uint32_t>(product.rabin->pair_count), BS_FULL);
        bitset_t y(n, BS_EMPTY);
        bitset_t y_old(n, BS_EMPTY);
        do {
            y_old = y;
            bitset_t g = reference_cpred(product, y);
            y = rabin(pairs, bitset_t(n, BS_FULL), g, ranked, counter);
        } while (!y.equals(y_old));

        std::vector<uint32_t> best(n, 0);
        for (uint32_t s = 0; s < n; ++s) {
            if (product.states[s].choice < 0 || !y.test(s)) continue;
            bool found = false;
            for (uint32_t e = product.edge_begin[s]; e < product.edge_begin[s + 1]; ++e) {
                uint32_t x = static_cast<uint32_t>(product.edges[e].target);
                if (!y.test(x)) continue;
                if (!found || rank[x] < best[s]) best[s] = rank[x];
                found = true;
            }
        }
        return {y, rank, best};
    }

private:
    // What one call did: its result, the ranked set it left, and how far it
    // advanced the counter and with which offsets it ranked the new states.
    // A call's counter only offsets the ranks it writes, so it is no part
    // of the key.
    struct call_effect_t {
        bitset_t result;
        bitset_t ranked;
        uint32_t advance;
        std::vector<std::pair<uint32_t, uint32_t>> new_ranks;
    };

    static void append_words(std::string& key, const bitset_t& set) {
        key.append(reinterpret_cast<const char*>(set.data()), set.word_count() * sizeof(uint32_t));
    }

    // A call depends on its arguments only (the ranks it writes are never
    // read inside the recursion), so a repeated call takes its effect from
    // the cache: the recursion explores every order of the pairs and meets
    // the same call under many of them.
    bitset_t rabin(const bitset_t& pairs, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                   uint32_t& counter) {
        std::string key;
        for (const bitset_t* set : {&pairs, &allowed, &goal, static_cast<const bitset_t*>(&ranked)})
            append_words(key, *set);
        auto known = cache.find(key);
        if (known == cache.end()) {
            const bitset_t ranked_before = ranked;
            uint32_t local = counter;
            call_effect_t effect{literal_rabin(pairs, allowed, goal, ranked, local), ranked, local - counter, {}};
            for (uint32_t s = 0; s < n; ++s)
                if (ranked.test(s) && !ranked_before.test(s)) effect.new_ranks.emplace_back(s, rank[s] - counter);
            known = cache.emplace(std::move(key), std::move(effect)).first;
        }
        const call_effect_t& effect = known->second;
        ranked = effect.ranked;
        for (const auto& [s, offset] : effect.new_ranks) rank[s] = counter + offset;
        counter += effect.advance;
        return effect.result;
    }

    bitset_t literal_rabin(const bitset_t& pairs, const bitset_t& allowed, const bitset_t& goal, bitset_t& ranked,
                           uint32_t& counter) {
        bitset_t result(n, BS_EMPTY);
        bitset_t acc_ranked = ranked;
        uint32_t acc_counter = counter;
        for (uint32_t l = 0; l < pairs.capacity(); ++l) {
            if (!pairs.test(l)) continue;
            bitset_t rest = pairs;
            rest.unset(l);
            bitset_t y(n, BS_FULL);
            bitset_t y_old(n, BS_EMPTY);
            bitset_t h(n, BS_EMPTY);
            uint32_t r = 0;
            do {
                y_old = y;
                h = acc_ranked;
                r = acc_counter;
                bitset_t b = product.good[l];
                b.subtract(product.bad[l]);
                b.intersect_with(allowed);
                b.intersect_with(reference_cpred(product, y));
                b.unite_with(goal);
                bitset_t x(n, BS_EMPTY);
                bitset_t x_old(n, BS_EMPTY);
                do {
                    x_old = x;
                    bitset_t k = allowed;
                    k.subtract(product.bad[l]);
                    k.intersect_with(reference_cpred(product, x));
                    k.unite_with(b);
                    if (rest.is_empty()) {
                        x = k;
                    } else {
                        bitset_t allowed_l = allowed;
                        allowed_l.subtract(product.bad[l]);
                        x = rabin(rest, allowed_l, k, h, r);
                    }
                    bool added = false;
                    for (uint32_t s = 0; s < n; ++s)
                        if (x.test(s) && !h.test(s)) {
                            h.set(s);
                            rank[s] = r;
                            added = true;
                        }
                    if (added) ++r;
                } while (!x.equals(x_old));
                y = x;
            } while (!y.equals(y_old));
            result.unite_with(y);
            acc_ranked.unite_with(h);
            acc_counter = r;
        }
        ranked = acc_ranked;
        counter = acc_counter;
        return result;
    }

    const ra_product_t& product;
    uint32_t n;
    std::vector<uint32_t> rank;
    std::unordered_map<std::string, call_effect_t> cache;
};

}  // namespace

bitset_t reference_cpred(const ra_product_t& product, const bitset_t& x) {
    bitset_t result = state_node_set(product);
    int decided = -1;
    for (int s = 0; s < product.state_count; ++s)
        for (uint32_t e = product.edge_begin[static_cast<std::size_t>(s)];
             e < product.edge_begin[static_cast<std::size_t>(s) + 1]; ++e) {
            if (s == decided) continue;
            uint32_t t = static_cast<uint32_t>(product.edges[e].target);
            if (product.states[static_cast<std::size_t>(s)].choice == -1) {
                if (!x.test(t)) {
                    result.unset(static_cast<uint32_t>(s));
                    decided = s;
                }
            } else if (x.test(t)) {
                result.set(static_cast<uint32_t>(s));
                decided = s;
            }
        }
    return result;
}

reference_verdict_t reference_solve(const ra_product_t& product) { return reference_solver_t(product).solve(); }

}  // namespace product_test
