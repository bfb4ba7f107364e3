#include "dmts/grammar.hpp"

#include <cstddef>
#include <utility>

const std::vector<rule_t>& grammar_rules() {
    // Each rule is placed at its own name, so the numbering cannot drift
    // from rule_number_t whatever the order of this list.
    static const std::vector<rule_t> rules = [] {
        const std::pair<rule_number_t, rule_t> named[] = {
            {rule_accept, {symbol_accept, {Main, token_end}}},
            {rule_Main_more, {Main, {Main, Def}}},
            {rule_Main_empty, {Main, {}}},
            {rule_BeginDef, {BeginDef, {}}},
            {rule_Def, {Def, {ProcessName, token_equals, BeginDef, ProcessDef}}},
            {rule_ProcessDef_sum, {ProcessDef, {ProcessSum}}},
            {rule_ProcessDef_parenthesised, {ProcessDef, {token_open_paren, ProcessSum, token_close_paren}}},
            {rule_ProcessName, {ProcessName, {token_process_name}}},
            {rule_ProcessSum_more, {ProcessSum, {ProcessSum, token_plus, SimpleProcess}}},
            {rule_ProcessSum_first, {ProcessSum, {SimpleProcess}}},
            {rule_SimpleProcess_May, {SimpleProcess, {May}}},
            {rule_SimpleProcess_HyperMust, {SimpleProcess, {HyperMust}}},
            {rule_May, {May, {token_question, Trans}}},
            {rule_Trans, {Trans, {ActionName, Process}}},
            {rule_ActionName, {ActionName, {token_action_name}}},
            {rule_Process_named, {Process, {ProcessName}}},
            {rule_Process_nil, {Process, {token_nil}}},
            {rule_BeginAnon, {BeginAnon, {}}},
            {rule_Process_anonymous, {Process, {BeginAnon, AnonProcess}}},
            {rule_AnonProcess_parenthesised, {AnonProcess, {token_open_paren, ProcessSum, token_close_paren}}},
            {rule_AnonProcess_simple, {AnonProcess, {SimpleProcess}}},
            {rule_HyperMust_single, {HyperMust, {Trans}}},
            {rule_BeginGroup, {BeginGroup, {}}},
            {rule_EndGroup, {EndGroup, {}}},
            {rule_HyperMust_group,
             {HyperMust, {token_open_brace, BeginGroup, TransList, EndGroup, token_close_brace}}},
            {rule_TransList_more, {TransList, {TransList, token_bar, Trans}}},
            {rule_TransList_first, {TransList, {Trans}}},
        };
        std::vector<rule_t> table(rule_count);
        for (const auto& entry : named) table[static_cast<std::size_t>(entry.first)] = entry.second;
        return table;
    }();
    return rules;
}

const char* token_display_name(int token) {
    static const char* const names[token_count] = {
        "$end", "process name", "action name", "nil", "'='", "'('",
        "')'",  "'+'",          "'?'",         "'{'", "'}'", "'|'",
    };
    return token >= 0 && token < token_count ? names[token] : "$undefined";
}
