#include "ltl/universal.hpp"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>

namespace {

constexpr int no_choice = -1;    // no transition reads the letter: the state rejects
constexpr int must_guess = -2;   // no least transition for the letter

class universal_builder_t {
public:
    universal_builder_t(vwaa_t& vwaa, const alphabet_t& alphabet)
        : vwaa(vwaa), alphabet(alphabet), letters(alphabet.letter_count()) {}

    // The least transition of state q for each letter, as an index into delta(q).
    const std::vector<int>* choices(int q) {
        auto found = choice_cache.find(q);
        if (found != choice_cache.end()) return found->second.empty() ? nullptr : &found->second;
        const std::vector<vwaa_term_t>& terms = vwaa.delta(q);
        std::vector<int> choice(static_cast<std::size_t>(letters), no_choice);
        for (int l = 0; l < letters; ++l) {
            const std::uint64_t letter = alphabet.letter(l);
            int least = no_choice;
            for (std::size_t t = 0; t < terms.size(); ++t) {
                if (!terms[t].cube.matches(letter)) continue;
                if (least == no_choice || is_subset(terms[t].states, terms[static_cast<std::size_t>(least)].states))
                    least = static_cast<int>(t);
            }
            if (least >= 0)
                for (const vwaa_term_t& term : terms)
                    if (term.cube.matches(letter) &&
                        !is_subset(terms[static_cast<std::size_t>(least)].states, term.states)) {
                        least = must_guess;
                        break;
                    }
            if (least == must_guess) {
                choice_cache[q];  // empty: remembered as guessing
                return nullptr;
            }
            choice[static_cast<std::size_t>(l)] = least;
        }
        return &(choice_cache[q] = std::move(choice));
    }

    vwaa_t& vwaa;
    const alphabet_t alphabet;
    const int letters;
    std::unordered_map<int, std::vector<int>> choice_cache;
};

}  // namespace

bool universal_dba(vwaa_t& vwaa, int f, const alphabet_t& alphabet, ltl_limits_t& limits, dra_t& out) {
    universal_builder_t builder(vwaa, alphabet);
    const std::vector<state_set_t> starts = vwaa.initial(f);
    if (starts.empty()) {
        out = constant_dra(alphabet, false);
        return true;
    }
    if (starts.size() > 1) return false;  // supersets are already gone: no least one

    // A macro state: the states every run must be in, and the waiting until states.
    using macro_t = std::pair<state_set_t, state_set_t>;
    std::map<macro_t, int> ids;
    std::vector<macro_t> macros;
    const int sink = 0;  // some state rejected the word
    macros.push_back({state_set_t{-1}, state_set_t{}});
    ids.emplace(macros[0], sink);
    macros.push_back({starts[0], state_set_t{}});
    ids.emplace(macros[1], 1);

    dra_t a;
    a.alphabet = alphabet;
    const int letters = a.letter_count();
    for (std::size_t i = 0; i < macros.size(); ++i) {
        for (int l = 0; l < letters; ++l) {
            if (i == static_cast<std::size_t>(sink)) {
                a.delta.push_back(sink);
                continue;
            }
            const macro_t& m = macros[i];
            macro_t next;
            bool rejected = false;
            for (int q : m.first) {
                const std::vector<int>* choice = builder.choices(q);
                if (!choice) return false;
                const int t = (*choice)[static_cast<std::size_t>(l)];
                if (t == no_choice) {
                    rejected = true;
                    break;
                }
                const state_set_t& targets = vwaa.delta(q)[static_cast<std::size_t>(t)].states;
                next.first = set_union(next.first, targets);
                // A waiting until state goes on waiting when its own transition keeps it.
                if (std::binary_search(m.second.begin(), m.second.end(), q) &&
                    std::binary_search(targets.begin(), targets.end(), q))
                    next.second.push_back(q);
            }
            int target = sink;
            if (!rejected) {
                if (m.second.empty())  // after a breakpoint every until state starts waiting
                    for (int q : next.first)
                        if (vwaa.is_until_state(q)) next.second.push_back(q);
                auto found = ids.emplace(next, static_cast<int>(macros.size()));
                if (found.second) {
                    if (limits.too_many(macros.size() + 1, static_cast<std::uint64_t>(letters))) return false;
                    macros.push_back(next);
                }
                target = found.first->second;
            }
            a.delta.push_back(target);
        }
    }
    a.state_count = static_cast<int>(macros.size());
    a.start = 1;
    rabin_pair_t p;
    for (std::size_t i = 0; i < macros.size(); ++i) {
        p.fin.push_back(0);
        p.inf.push_back(i != static_cast<std::size_t>(sink) && macros[i].second.empty());
    }
    a.pairs.push_back(std::move(p));
    out = std::move(a);
    return true;
}

void complement_dba(dra_t& a) {
    rabin_pair_t p;
    p.fin = a.pairs[0].inf;
    p.inf.assign(static_cast<std::size_t>(a.state_count), 1);
    a.pairs[0] = std::move(p);
}
