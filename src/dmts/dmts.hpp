// The in-memory disjunctive modal transition system: a table of processes over
// a table of action names. Everything refers to processes and actions by dense
// int indices assigned in order of first appearance; names are only for lookup
// and output.
#pragma once

#include <iosfwd>
#include <stack>
#include <string>
#include <string_view>
#include <vector>

#include "dmts/name_index.hpp"
#include "dmts/process_table.hpp"

// The names the two indices compare against, read from the tables that own them.
struct process_name_of_t {
    const process_table_t* processes;
    std::string_view operator()(int index) const { return (*processes)[static_cast<std::size_t>(index)]->name; }
};
struct action_name_of_t {
    const std::vector<std::string>* names;
    std::string_view operator()(int index) const { return (*names)[static_cast<std::size_t>(index)]; }
};

struct dmts_t {
    std::stack<int> def_stack;
    int process_count = 1;
    process_table_t processes;
    // Named processes only: nil and the anonymous "$N" processes are never entered.
    name_index_t<process_name_of_t> process_index{process_name_of_t{&processes}};
    int action_count = 0;
    std::vector<std::string> action_names;
    name_index_t<action_name_of_t> action_index{action_name_of_t{&action_names}};

    dmts_t();
    // The indices point at this model's own tables.
    dmts_t(const dmts_t&) = delete;
    dmts_t& operator=(const dmts_t&) = delete;

    int get_process(const char* name);
    int get_action(const char* name);
    int add_anonymous_process();
    void open_definition(int index);
    // Pops the innermost open definition, puts it into sorted form, returns its index.
    int close_definition();
    // Puts the definitions still open (after a parse that stopped early) into sorted form.
    void normalize_open_definitions();
    process_t* proxy() { return processes[def_stack.top()]; }

    // Renderings (process_render.cpp).
    // Both write to the stream they are given: the DOT graph, and the plain
    // diagnostic listing of every process reached.
    void output_dot(int start, std::ostream& out) const;
    void draw(int start, std::ostream& out) const;

    // Deadlock-free restriction (deadlock_free.cpp).
    void disallow_deadlocks();
};

// The one model of a run; the parser's actions fill it through this pointer.
extern dmts_t* dmts;
