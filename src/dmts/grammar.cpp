#include "dmts/grammar.hpp"

const std::vector<rule_t>& grammar_rules() {
    static const std::vector<rule_t> rules = {
        /*  0 */ {symbol_accept, {symbol_main, token_end}},
        /*  1 */ {symbol_main, {symbol_main, symbol_def}},
        /*  2 */ {symbol_main, {}},
        /*  3 */ {symbol_begin_def, {}},
        /*  4 */ {symbol_def, {symbol_process_name, token_equals, symbol_begin_def, symbol_process_def}},
        /*  5 */ {symbol_process_def, {symbol_process_sum}},
        /*  6 */ {symbol_process_def, {token_open_paren, symbol_process_sum, token_close_paren}},
        /*  7 */ {symbol_process_name, {token_process_name}},
        /*  8 */ {symbol_process_sum, {symbol_process_sum, token_plus, symbol_simple_process}},
        /*  9 */ {symbol_process_sum, {symbol_simple_process}},
        /* 10 */ {symbol_simple_process, {symbol_may}},
        /* 11 */ {symbol_simple_process, {symbol_hyper_must}},
        /* 12 */ {symbol_may, {token_question, symbol_trans}},
        /* 13 */ {symbol_trans, {symbol_action_name, symbol_process}},
        /* 14 */ {symbol_action_name, {token_action_name}},
        /* 15 */ {symbol_process, {symbol_process_name}},
        /* 16 */ {symbol_process, {token_nil}},
        /* 17 */ {symbol_begin_anon, {}},
        /* 18 */ {symbol_process, {symbol_begin_anon, symbol_anon_process}},
        /* 19 */ {symbol_anon_process, {token_open_paren, symbol_process_sum, token_close_paren}},
        /* 20 */ {symbol_anon_process, {symbol_simple_process}},
        /* 21 */ {symbol_hyper_must, {symbol_trans}},
        /* 22 */ {symbol_begin_group, {}},
        /* 23 */ {symbol_end_group, {}},
        /* 24 */ {symbol_hyper_must,
                  {token_open_brace, symbol_begin_group, symbol_trans_list, symbol_end_group,
                   token_close_brace}},
        /* 25 */ {symbol_trans_list, {symbol_trans_list, token_bar, symbol_trans}},
        /* 26 */ {symbol_trans_list, {symbol_trans}},
    };
    return rules;
}

const char* token_display_name(int token) {
    static const char* const names[token_count] = {
        "$end", "process name", "action name", "nil", "'='", "'('",
        "')'",  "'+'",          "'?'",         "'{'", "'}'", "'|'",
    };
    return token >= 0 && token < token_count ? names[token] : "$undefined";
}
