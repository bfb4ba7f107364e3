// The in-memory disjunctive modal transition system: a table of processes over
// a table of action names. Everything refers to processes and actions by dense
// int indices assigned in order of first appearance; names are only for lookup
// and output.
#pragma once

#include <memory>
#include <set>
#include <stack>
#include <string>
#include <unordered_map>
#include <vector>

// A transition (action index, target process index), ordered by action, then target.
struct transition_t {
    int action;
    int target;
    bool operator<(const transition_t& other) const {
        return action != other.action ? action < other.action : target < other.target;
    }
    bool operator==(const transition_t& other) const {
        return action == other.action && target == other.target;
    }
};

// A must hypertransition: its alternatives, sorted ascending and without
// duplicates. std::vector's lexicographic operator< is exactly the order the
// renderings and the product walk hypertransitions in (a proper prefix first).
using hypertransition_t = std::vector<transition_t>;

struct process_t {
    bool defined = false;
    std::string name;
    std::set<transition_t> may;
    std::set<hypertransition_t> must;
    std::set<transition_t> pending_must;  // parser's working set for an open brace group
    bool deadlocked = false;

    explicit process_t(std::string process_name) : name(std::move(process_name)) {}

    // Starts (or restarts, with a warning) this process's definition.
    void begin_definition();

    // Renderings (process_render.cpp).
    void output_dot(const std::vector<std::unique_ptr<process_t>>* processes,
                    const std::vector<std::string>* action_names, int& point_counter,
                    bool must_only) const;
    void output(const std::vector<std::unique_ptr<process_t>>* processes,
                const std::vector<std::string>* action_names) const;
};

struct dmts_t {
    std::stack<int> def_stack;
    int process_count = 1;
    std::vector<std::unique_ptr<process_t>> processes;
    // Only lookups are observable, so a hash map serves as the name index.
    std::unordered_map<std::string, int> process_index;
    int action_count = 0;
    std::vector<std::string> action_names;
    std::unordered_map<std::string, int> action_index;

    dmts_t();
    dmts_t(const dmts_t&) = delete;
    dmts_t& operator=(const dmts_t&) = delete;

    int get_process(const char* name);
    int get_action(const char* name);
    int add_anonymous_process();
    void open_definition(int index);
    int close_definition();
    process_t* proxy() { return processes[def_stack.top()].get(); }

    // Renderings (process_render.cpp).
    void output_dot(int start) const;
    void draw(int start) const;

    // Deadlock-free restriction (deadlock_free.cpp).
    void disallow_deadlocks();
};

// The one model of a run; the parser's actions fill it through this pointer.
extern dmts_t* dmts;
