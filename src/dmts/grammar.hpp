// The grammar of the specification language as plain data: terminal and
// nonterminal symbols numbered densely, and the rules in their fixed numbering
// (rule 0 is the augmented start rule), so the parser automaton can be built
// from it in code and every rule number names its semantic action.
#pragma once

#include <vector>

// Terminals in token order: this order is the order of expected tokens in
// syntax error messages, and the scanner returns these codes.
enum token_t : int {
    token_end,
    token_process_name,
    token_action_name,
    token_nil,
    token_equals,
    token_open_paren,
    token_close_paren,
    token_plus,
    token_question,
    token_open_brace,
    token_close_brace,
    token_bar,
    token_count
};

// Nonterminals continue the symbol numbering after the terminals.
enum nonterminal_t : int {
    symbol_accept = token_count,
    symbol_main,
    symbol_def,
    symbol_begin_def,
    symbol_process_def,
    symbol_process_name,
    symbol_process_sum,
    symbol_simple_process,
    symbol_may,
    symbol_trans,
    symbol_action_name,
    symbol_process,
    symbol_begin_anon,
    symbol_anon_process,
    symbol_hyper_must,
    symbol_begin_group,
    symbol_end_group,
    symbol_trans_list,
    symbol_count
};

constexpr int nonterminal_count = symbol_count - token_count;

inline bool is_terminal(int symbol) { return symbol < token_count; }

struct rule_t {
    int lhs;
    std::vector<int> rhs;
};

// All rules, indexed by rule number: 0 is "$accept: Main $end", 1 to 26 the
// language's own rules.
const std::vector<rule_t>& grammar_rules();

// The name of a terminal as syntax error messages write it ("$end",
// "process name", "'='", ...).
const char* token_display_name(int token);
