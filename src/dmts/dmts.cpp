#include "dmts/dmts.hpp"

#include <ostream>

#include "dmts/parser.hpp"

dmts_t* dmts = nullptr;

void process_t::begin_definition() {
    if (defined) {
        // One write per warning: standard error is unbuffered, and a file of
        // many redefinitions would otherwise cost four system calls each.
        *yyerr << ("Warning: redefinition of '" + name + "'\n") << std::flush;
        may.clear();
        must.clear();
    }
    defined = true;
}

void process_t::normalize() {
    may.normalize();
    must.normalize();
    pending_must.normalize();
}

dmts_t::dmts_t() {
    // The nil process is appended directly, so it never enters process_index
    // and process_count stays 1.
    processes.emplace_back("nil").begin_definition();
}

int dmts_t::get_process(const char* name) {
    const int index = process_index.find_or_enter(name, process_count);
    if (index == process_count) {
        processes.emplace_back(name);
        ++process_count;
    }
    return index;
}

int dmts_t::get_action(const char* name) {
    const int index = action_index.find_or_enter(name, action_count);
    if (index == action_count) {
        action_names.emplace_back(name);
        ++action_count;
    }
    return index;
}

int dmts_t::add_anonymous_process() {
    processes.emplace_back("$" + std::to_string(process_count));
    return process_count++;
}

void dmts_t::open_definition(int index) {
    def_stack.push(index);
    processes[index]->begin_definition();
}

int dmts_t::close_definition() {
    const int top = def_stack.top();
    def_stack.pop();
    processes[top]->normalize();
    return top;
}

void dmts_t::normalize_open_definitions() {
    for (std::stack<int> open = def_stack; !open.empty(); open.pop()) processes[open.top()]->normalize();
}
