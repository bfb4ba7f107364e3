// The grammar of the specification language as plain data: terminal and
// nonterminal symbols numbered densely, and the rules in their fixed numbering
// (rule 0 is the augmented start rule), so the parser automaton can be built
// from it in code; rule_number_t names every rule for its semantic action.
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

// Nonterminals continue the symbol numbering after the terminals; they carry
// the names the grammar gives them. symbol_accept is the augmented start
// symbol ($accept), which only rule 0 has on its left side.
enum nonterminal_t : int {
    symbol_accept = token_count,
    Main,
    Def,
    BeginDef,
    ProcessDef,
    ProcessName,
    ProcessSum,
    SimpleProcess,
    May,
    Trans,
    ActionName,
    Process,
    BeginAnon,
    AnonProcess,
    HyperMust,
    BeginGroup,
    EndGroup,
    TransList,
    symbol_count
};

constexpr int nonterminal_count = symbol_count - token_count;

inline bool is_terminal(int symbol) { return symbol < token_count; }

struct rule_t {
    int lhs;
    std::vector<int> rhs;
};

// The rules by number, each named after its left side and the alternative it
// is; the parser's semantic actions are dispatched on these names.
enum rule_number_t : int {
    rule_accept,                     // $accept: Main $end
    rule_Main_more,                  // Main: Main Def
    rule_Main_empty,                 // Main: (empty)
    rule_BeginDef,                   // BeginDef: (empty)
    rule_Def,                        // Def: ProcessName '=' BeginDef ProcessDef
    rule_ProcessDef_sum,             // ProcessDef: ProcessSum
    rule_ProcessDef_parenthesised,   // ProcessDef: '(' ProcessSum ')'
    rule_ProcessName,                // ProcessName: process name
    rule_ProcessSum_more,            // ProcessSum: ProcessSum '+' SimpleProcess
    rule_ProcessSum_first,           // ProcessSum: SimpleProcess
    rule_SimpleProcess_May,          // SimpleProcess: May
    rule_SimpleProcess_HyperMust,    // SimpleProcess: HyperMust
    rule_May,                        // May: '?' Trans
    rule_Trans,                      // Trans: ActionName Process
    rule_ActionName,                 // ActionName: action name
    rule_Process_named,              // Process: ProcessName
    rule_Process_nil,                // Process: nil
    rule_BeginAnon,                  // BeginAnon: (empty)
    rule_Process_anonymous,          // Process: BeginAnon AnonProcess
    rule_AnonProcess_parenthesised,  // AnonProcess: '(' ProcessSum ')'
    rule_AnonProcess_simple,         // AnonProcess: SimpleProcess
    rule_HyperMust_single,           // HyperMust: Trans
    rule_BeginGroup,                 // BeginGroup: (empty)
    rule_EndGroup,                   // EndGroup: (empty)
    rule_HyperMust_group,            // HyperMust: '{' BeginGroup TransList EndGroup '}'
    rule_TransList_more,             // TransList: TransList '|' Trans
    rule_TransList_first,            // TransList: Trans
    rule_count
};

// All rules, indexed by rule_number_t: 0 is "$accept: Main $end", 1 to 26 the
// language's own rules.
const std::vector<rule_t>& grammar_rules();

// The name of a terminal as syntax error messages write it ("$end",
// "process name", "'='", ...).
const char* token_display_name(int token);
