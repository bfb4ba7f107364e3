// The parse loop of the specification language: a classic table-driven
// shift/reduce loop over the LALR(1) automaton of lalr_table.hpp, with the
// semantic actions that build the model through the global `dmts`. The loop
// keeps its own stack, so the nesting of the input never recurses in C++.
#include "dmts/parser.hpp"

#include <cstddef>
#include <iostream>
#include <string>

#include "dmts/dmts.hpp"
#include "dmts/grammar.hpp"
#include "dmts/lalr_table.hpp"
#include "dmts/parse_stack.hpp"
#include "support/prefetch.hpp"
#include "dmts/scanner.hpp"

namespace {

void yyerror(const char* message) { *yyerr << message << "\n"; }

// "syntax error, unexpected X" and, when at most four tokens could have been
// shifted, ", expecting A or B ..." in token order.
void report_syntax_error(const lalr_table_t& table, int state, int token) {
    std::string message = "syntax error, unexpected ";
    message += token_display_name(token);
    const std::vector<int> expected = table.shiftable_tokens(state);
    if (expected.size() <= 4) {
        for (std::size_t i = 0; i < expected.size(); ++i) {
            message += i == 0 ? ", expecting " : " or ";
            message += token_display_name(expected[i]);
        }
    }
    yyerror(message.c_str());
}

transition_t as_transition(const semantic_value_t& value) { return {value.first, value.second}; }

// Runs the action of `rule` on the right side held at the top of the stack
// (not yet popped) and returns the value of its left side. A rule without an
// action of its own takes the value of its first right-side symbol.
semantic_value_t run_action(int rule, const parse_stack_t& stack) {
    const std::size_t length = grammar_rules()[rule].rhs.size();
    // $i of the rule, counted from 1 as in the grammar.
    auto arg = [&](std::size_t i) -> const semantic_value_t& { return stack.value_below_top(length - i); };
    semantic_value_t value = length > 0 ? arg(1) : semantic_value_t{};
    switch (static_cast<rule_number_t>(rule)) {
    case rule_BeginDef:  // the ProcessName stands below the equals sign
        dmts->open_definition(stack.value_below_top(1).first);
        break;
    case rule_Def:
        dmts->close_definition();
        break;
    case rule_ProcessName:  // reduced before the next token is read, so yylval still holds the name
        value.first = dmts->get_process(yylval);
        break;
    // Transitions are appended in input order; close_definition sorts them.
    case rule_May:
        dmts->proxy()->may.append(as_transition(arg(2)));
        break;
    case rule_Trans:
        value = {arg(1).first, arg(2).first};
        break;
    case rule_ActionName:
        value.first = dmts->get_action(yylval);
        break;
    case rule_Process_nil:
        value.first = 0;
        break;
    case rule_BeginAnon:
        dmts->open_definition(dmts->add_anonymous_process());
        break;
    case rule_Process_anonymous:
        value.first = dmts->close_definition();
        break;
    case rule_HyperMust_single: {
        process_t* current = dmts->proxy();
        const transition_t t = as_transition(arg(1));
        current->may.append(t);
        current->must.append(alternatives_t(&t, &t + 1));
        break;
    }
    case rule_BeginGroup:
        dmts->proxy()->pending_must.clear();
        break;
    case rule_EndGroup: {
        process_t* current = dmts->proxy();
        current->pending_must.normalize();
        current->must.append(alternatives_t(current->pending_must.begin(), current->pending_must.end()));
        current->pending_must.clear();
        break;
    }
    case rule_TransList_more:
    case rule_TransList_first: {
        process_t* current = dmts->proxy();
        const transition_t t = as_transition(arg(rule == rule_TransList_more ? 3 : 1));
        current->may.append(t);
        current->pending_must.append(t);
        break;
    }
    default:  // the other rules pass their first value on
        break;
    }
    return value;
}

// The shift/reduce loop; yyparse below finishes the model however it ends.
int parse_input() {
    const lalr_table_t& table = parser_table();
    const std::vector<rule_t>& rules = grammar_rules();
    parse_stack_t stack;
    stack.push(table.start_state, {});
    int lookahead = -1;  // -1: no token read yet
    for (;;) {
        const int state = stack.top_state();
        if (state == table.final_state) return 0;
        const int rule = table.default_rule[state];
        // A state that cannot shift reduces without looking at the next token.
        if (table.has_shift[state]) {
            if (lookahead < 0) {
                lookahead = yylex();
                if (scanner_failed()) return 1;
            }
            const int target = table.shift_target(state, lookahead);
            if (target >= 0) {
                lookahead = -1;
                if (!stack.push(target, {})) {
                    yyerror("memory exhausted");
                    return 2;
                }
                continue;
            }
            if (rule < 0) {
                report_syntax_error(table, state, lookahead);
                return 1;
            }
        } else if (rule < 0) {
            // Only the final state lacks both; it was handled above.
            report_syntax_error(table, state, lookahead < 0 ? token_end : lookahead);
            return 1;
        }
        const semantic_value_t value = run_action(rule, stack);
        stack.pop(rules[rule].rhs.size());
        if (!stack.push(table.goto_target(stack.top_state(), rules[rule].lhs), value)) {
            yyerror("memory exhausted");
            return 2;
        }
    }
}

// The look-ahead's use of the process names ahead of the scanner. Each one's
// index slot is requested at once. Opening a definition reads the record of
// the process it names, which lies anywhere in a large model, so a definition
// name is also kept until `names_later` more names have passed, by when its
// slot has arrived, and then its record is requested.
class names_ahead_t {
public:
    void reset() { first_ = next_ = names_ = 0; }

    void met(std::string_view name, bool defines) {
        dmts->process_index.prefetch(name);
        ++names_;
        while (first_ != next_ && names_ - kept_[first_ % kept_count].met_at >= names_later)
            request_record(kept_[first_++ % kept_count]);
        if (defines && name.size() <= sizeof(kept_name_t::bytes) && next_ - first_ < kept_count) {
            kept_name_t& kept = kept_[next_++ % kept_count];
            name.copy(kept.bytes, name.size());
            kept.size = static_cast<unsigned char>(name.size());
            kept.met_at = names_;
        }
    }

private:
    static constexpr unsigned names_later = 8;
    static constexpr unsigned kept_count = 8;
    struct kept_name_t {
        char bytes[23];
        unsigned char size;
        unsigned met_at;
    };

    static void request_record(const kept_name_t& kept) {
        const int index = dmts->process_index.find(std::string_view(kept.bytes, kept.size));
        if (index < 0) return;
        const process_t* process = dmts->processes[static_cast<std::size_t>(index)];
        prefetch_span(&process->may, sizeof(process_t) - offsetof(process_t, may));
    }

    kept_name_t kept_[kept_count];
    unsigned first_ = 0, next_ = 0, names_ = 0;
};
names_ahead_t names_ahead;

}  // namespace

int yyparse() {
    // A parse that stops midway leaves definitions open with their sets as
    // appended; the run goes on with that model, so it is sorted here too.
    // What the process names just ahead need is loaded while the parser works
    // on the ones before them.
    names_ahead.reset();
    scanner_name_ahead = [](std::string_view name, bool defines) { names_ahead.met(name, defines); };
    int status;
    try {
        status = parse_input();
    } catch (...) {
        scanner_name_ahead = nullptr;
        dmts->normalize_open_definitions();
        throw;
    }
    scanner_name_ahead = nullptr;
    dmts->normalize_open_definitions();
    return status;
}
