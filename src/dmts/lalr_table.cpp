#include "dmts/lalr_table.hpp"

#include <algorithm>
#include <bitset>
#include <map>
#include <utility>

namespace {

// An LR(0) item: rule number and dot position, packed so items sort by rule
// first. Rules are far shorter than 256 symbols.
using item_t = int;
item_t make_item(int rule, int dot) { return rule * 256 + dot; }
int item_rule(item_t item) { return item / 256; }
int item_dot(item_t item) { return item % 256; }

struct first_sets_t {
    std::vector<bool> nullable;          // by symbol
    std::vector<std::uint32_t> first;    // by symbol, bit per token
};

first_sets_t compute_first_sets(const std::vector<rule_t>& rules) {
    first_sets_t sets{std::vector<bool>(symbol_count, false),
                      std::vector<std::uint32_t>(symbol_count, 0)};
    for (int t = 0; t < token_count; ++t) sets.first[t] = 1u << t;
    for (bool changed = true; changed;) {
        changed = false;
        for (const rule_t& rule : rules) {
            bool all_nullable = true;
            std::uint32_t first = sets.first[rule.lhs];
            for (int symbol : rule.rhs) {
                first |= sets.first[symbol];
                if (!sets.nullable[symbol]) {
                    all_nullable = false;
                    break;
                }
            }
            if (first != sets.first[rule.lhs]) {
                sets.first[rule.lhs] = first;
                changed = true;
            }
            if (all_nullable && !sets.nullable[rule.lhs]) {
                sets.nullable[rule.lhs] = true;
                changed = true;
            }
        }
    }
    return sets;
}

// One LR(0) state: its closed item list with the LALR(1) lookahead of each.
struct lr0_state_t {
    std::vector<item_t> items;
    std::vector<std::uint32_t> lookahead;
    int index_of(item_t item) const {
        auto it = std::lower_bound(items.begin(), items.end(), item);
        return it != items.end() && *it == item ? static_cast<int>(it - items.begin()) : -1;
    }
};

std::vector<item_t> closure(const std::vector<rule_t>& rules, std::vector<item_t> kernel) {
    std::vector<bool> expanded(symbol_count, false);
    for (std::size_t i = 0; i < kernel.size(); ++i) {
        const rule_t& rule = rules[item_rule(kernel[i])];
        int dot = item_dot(kernel[i]);
        if (dot >= static_cast<int>(rule.rhs.size())) continue;
        int next = rule.rhs[dot];
        if (is_terminal(next) || expanded[next]) continue;
        expanded[next] = true;
        for (int r = 0; r < static_cast<int>(rules.size()); ++r) {
            if (rules[r].lhs == next) kernel.push_back(make_item(r, 0));
        }
    }
    std::sort(kernel.begin(), kernel.end());
    kernel.erase(std::unique(kernel.begin(), kernel.end()), kernel.end());
    return kernel;
}

}  // namespace

std::vector<int> lalr_table_t::shiftable_tokens(int state) const {
    std::vector<int> tokens;
    for (int t = 0; t < token_count; ++t) {
        if (shift_target(state, t) >= 0) tokens.push_back(t);
    }
    return tokens;
}

lalr_table_t build_lalr_table(const std::vector<rule_t>& rules) {
    const first_sets_t first_sets = compute_first_sets(rules);

    // LR(0) automaton, states numbered breadth-first from the start kernel.
    std::vector<lr0_state_t> states;
    std::vector<std::vector<int>> transitions;  // by state, by symbol
    std::vector<int> accessing;
    std::map<std::vector<item_t>, int> state_of_kernel;
    auto add_state = [&](std::vector<item_t> kernel, int symbol) {
        auto found = state_of_kernel.find(kernel);
        if (found != state_of_kernel.end()) return found->second;
        int index = static_cast<int>(states.size());
        state_of_kernel.emplace(kernel, index);
        lr0_state_t state;
        state.items = closure(rules, std::move(kernel));
        state.lookahead.assign(state.items.size(), 0);
        states.push_back(std::move(state));
        transitions.emplace_back(symbol_count, -1);
        accessing.push_back(symbol);
        return index;
    };
    add_state({make_item(0, 0)}, -1);
    for (std::size_t s = 0; s < states.size(); ++s) {
        // Kernels of the successors, grouped by the symbol after the dot;
        // symbols are visited in numbering order for a stable state order.
        std::vector<std::vector<item_t>> next(symbol_count);
        for (item_t item : states[s].items) {
            const rule_t& rule = rules[item_rule(item)];
            int dot = item_dot(item);
            if (dot < static_cast<int>(rule.rhs.size())) {
                next[rule.rhs[dot]].push_back(make_item(item_rule(item), dot + 1));
            }
        }
        for (int symbol = 0; symbol < symbol_count; ++symbol) {
            if (next[symbol].empty()) continue;
            int target = add_state(std::move(next[symbol]), symbol);
            transitions[s][symbol] = target;
        }
    }

    // LALR(1) lookaheads as the least fixpoint of propagation along the
    // automaton's transitions and within each closure. The start item needs
    // none: its rule ends with $end itself.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t s = 0; s < states.size(); ++s) {
            lr0_state_t& state = states[s];
            for (std::size_t i = 0; i < state.items.size(); ++i) {
                const std::uint32_t la = state.lookahead[i];
                const int rule_number = item_rule(state.items[i]);
                const rule_t& rule = rules[rule_number];
                const int dot = item_dot(state.items[i]);
                if (dot >= static_cast<int>(rule.rhs.size())) continue;
                const int symbol = rule.rhs[dot];
                lr0_state_t& target = states[transitions[s][symbol]];
                std::uint32_t& carried = target.lookahead[target.index_of(make_item(rule_number, dot + 1))];
                if ((carried | la) != carried) {
                    carried |= la;
                    changed = true;
                }
                if (is_terminal(symbol)) continue;
                // Tokens that can follow `symbol` here: FIRST of the rest, plus
                // this item's own lookahead when the rest can vanish.
                std::uint32_t follow = 0;
                bool rest_nullable = true;
                for (std::size_t k = dot + 1; k < rule.rhs.size(); ++k) {
                    follow |= first_sets.first[rule.rhs[k]];
                    if (!first_sets.nullable[rule.rhs[k]]) {
                        rest_nullable = false;
                        break;
                    }
                }
                if (rest_nullable) follow |= la;
                for (std::size_t j = 0; j < state.items.size(); ++j) {
                    if (item_dot(state.items[j]) != 0 || rules[item_rule(state.items[j])].lhs != symbol) continue;
                    if ((state.lookahead[j] | follow) != state.lookahead[j]) {
                        state.lookahead[j] |= follow;
                        changed = true;
                    }
                }
            }
        }
    }

    lalr_table_t table;
    table.state_count = static_cast<int>(states.size());
    table.shift.assign(table.state_count * token_count, -1);
    table.go_to.assign(table.state_count * nonterminal_count, -1);
    table.default_rule.assign(table.state_count, -1);
    table.has_shift.assign(table.state_count, false);
    table.reductions.resize(table.state_count);
    table.accessing_symbol = accessing;
    for (int s = 0; s < table.state_count; ++s) {
        std::uint32_t shiftable = 0;
        for (int symbol = 0; symbol < symbol_count; ++symbol) {
            int target = transitions[s][symbol];
            if (target < 0) continue;
            if (is_terminal(symbol)) {
                table.shift[s * token_count + symbol] = target;
                table.has_shift[s] = true;
                shiftable |= 1u << symbol;
            } else {
                table.go_to[s * nonterminal_count + (symbol - token_count)] = target;
            }
        }
        std::uint32_t claimed = shiftable;
        int best_count = -1;
        for (std::size_t i = 0; i < states[s].items.size(); ++i) {
            const int rule_number = item_rule(states[s].items[i]);
            if (rule_number == rule_accept) continue;  // completing the start rule is acceptance
            if (item_dot(states[s].items[i]) != static_cast<int>(rules[rule_number].rhs.size())) continue;
            const std::uint32_t la = states[s].lookahead[i];
            table.reductions[s].emplace_back(rule_number, la);
            if (la & claimed) ++table.conflicts;
            claimed |= la;
            // The reduction with the most lookahead tokens is the default; on a
            // tie the lower rule number, as items are sorted by rule.
            const int count = static_cast<int>(std::bitset<32>(la).count());
            if (count > best_count) {
                best_count = count;
                table.default_rule[s] = rule_number;
            }
        }
    }
    const int after_main = transitions[0][Main];
    table.final_state = after_main >= 0 ? transitions[after_main][token_end] : -1;
    return table;
}

const lalr_table_t& parser_table() {
    static const lalr_table_t table = build_lalr_table(grammar_rules());
    return table;
}
