// The LALR(1) automaton of the specification grammar, built in code from the
// rule data at first use. Tables are dense arrays indexed by state and symbol
// so the parse loop does one array read per step. Each state with a possible
// reduction makes it its default action, taken for every token it cannot shift.
#pragma once

#include <cstdint>
#include <vector>

#include "dmts/grammar.hpp"

struct lalr_table_t {
    int state_count = 0;
    int start_state = 0;
    // Reached by shifting $end after Main: entering it accepts the input.
    int final_state = -1;
    // shift[state * token_count + token]: target state, or -1.
    std::vector<int> shift;
    // go_to[state * nonterminal_count + (nonterminal - token_count)]: target, or -1.
    std::vector<int> go_to;
    // Rule reduced by default in each state, or -1 when the state only shifts.
    std::vector<int> default_rule;
    // True when the state can shift something and so must read a token first.
    std::vector<bool> has_shift;
    // Every rule completed in each state and its LALR(1) lookahead tokens
    // (bit t set for token t), for checking the construction.
    std::vector<std::vector<std::pair<int, std::uint32_t>>> reductions;
    // The symbol shifted or reduced to when entering each state (-1 for the start).
    std::vector<int> accessing_symbol;
    // Shift/reduce plus reduce/reduce conflicts found; the grammar has none.
    int conflicts = 0;

    int shift_target(int state, int token) const { return shift[state * token_count + token]; }
    int goto_target(int state, int nonterminal) const {
        return go_to[state * nonterminal_count + (nonterminal - token_count)];
    }
    // The tokens shiftable in a state, in token order.
    std::vector<int> shiftable_tokens(int state) const;
};

// Builds the automaton for any grammar in the numbering of grammar.hpp whose
// rule 0 is "$accept: S $end".
lalr_table_t build_lalr_table(const std::vector<rule_t>& rules);

// The automaton of the specification grammar, built once.
const lalr_table_t& parser_table();
