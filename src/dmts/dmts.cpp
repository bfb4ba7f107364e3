#include "dmts/dmts.hpp"

#include <iostream>

dmts_t* dmts = nullptr;

void process_t::begin_definition() {
    if (defined) {
        // One write per warning: standard error is unbuffered, and a file of
        // many redefinitions would otherwise cost four system calls each.
        std::cerr << ("Warning: redefinition of '" + name + "'\n") << std::flush;
        may.clear();
        must.clear();
    }
    defined = true;
}

dmts_t::dmts_t() {
    // The nil process is appended directly, so it never enters process_index
    // and process_count stays 1.
    processes.push_back(std::make_unique<process_t>("nil"));
    processes[0]->begin_definition();
}

int dmts_t::get_process(const char* name) {
    auto [it, inserted] = process_index.try_emplace(name, process_count);
    if (inserted) {
        processes.push_back(std::make_unique<process_t>(it->first));
        ++process_count;
    }
    return it->second;
}

int dmts_t::get_action(const char* name) {
    auto [it, inserted] = action_index.try_emplace(name, action_count);
    if (inserted) {
        action_names.push_back(it->first);
        ++action_count;
    }
    return it->second;
}

int dmts_t::add_anonymous_process() {
    processes.push_back(std::make_unique<process_t>("$" + std::to_string(process_count)));
    return process_count++;
}

void dmts_t::open_definition(int index) {
    def_stack.push(index);
    processes[index]->begin_definition();
}

int dmts_t::close_definition() {
    int top = def_stack.top();
    def_stack.pop();
    return top;
}
