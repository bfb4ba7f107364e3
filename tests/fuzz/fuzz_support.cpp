#include "fuzz_support.hpp"

#include <cstdlib>
#include <iostream>
#include <streambuf>

#include "dmts/dmts.hpp"
#include "dmts/parser.hpp"
#include "rabin/rabin.hpp"

namespace {

// Swallows everything; keeps the fuzzer's own output readable and fast.
class null_buffer_t : public std::streambuf {
protected:
    int overflow(int c) override { return c == EOF ? 0 : c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

[[noreturn]] void throw_scanner_abort(int status) { throw scanner_abort_t{status}; }

}  // namespace

void fuzz_setup() {
    static bool done = false;
    if (done) return;
    done = true;
    static null_buffer_t sink;
    std::ios::sync_with_stdio(false);
    std::cout.rdbuf(&sink);
    std::cerr.rdbuf(&sink);
    scanner_fatal = throw_scanner_abort;
}

int fuzz_parse(const char* text, size_t size) {
    // fmemopen refuses a zero-sized buffer; one blank scans the same as nothing.
    static char blank[] = " ";
    FILE* in = size ? fmemopen(const_cast<char*>(text), size, "r") : fmemopen(blank, 1, "r");
    fuzz_require(in != nullptr, "fmemopen failed");
    scanner_reset();
    yyin = in;
    int result;
    try {
        result = yyparse();
    } catch (const scanner_abort_t&) {
        result = -1;
    }
    std::fclose(in);
    yyin = nullptr;
    scanner_reset();
    return result;
}

void fuzz_require(bool cond, const char* what) {
    if (cond) return;
    std::fputs("fuzz invariant violated: ", stderr);
    std::fputs(what, stderr);
    std::fputc('\n', stderr);
    std::abort();
}

void check_model(const dmts_t& model, bool after_restriction) {
    const int n = static_cast<int>(model.processes.size());
    fuzz_require(model.process_count == n, "process_count differs from the table size");
    fuzz_require(model.action_count == static_cast<int>(model.action_names.size()),
                 "action_count differs from the table size");
    fuzz_require(n >= 1 && model.processes[0]->name == "nil" && model.processes[0]->defined,
                 "process 0 is not the defined nil process");
    fuzz_require(model.processes[0]->may.empty() && model.processes[0]->must.empty(),
                 "the nil process has transitions");
    // Every named process is found at its own index, nil and the anonymous
    // processes are not entered at all.
    std::size_t named = 0;
    for (int i = 1; i < n; ++i) {
        const std::string& name = model.processes[i]->name;
        const bool anonymous = name[0] == '$';
        named += anonymous ? 0 : 1;
        fuzz_require(model.process_index.find(name) == (anonymous ? -1 : i),
                     "process_index does not find a process at its own index");
    }
    fuzz_require(model.process_index.size() == named, "process_index holds other entries");
    for (int a = 0; a < model.action_count; ++a) {
        fuzz_require(model.action_index.find(model.action_names[a]) == a,
                     "action_index does not find an action at its own index");
    }
    fuzz_require(static_cast<int>(model.action_index.size()) == model.action_count,
                 "action_index holds other entries");
    for (int i = 0; i < n; ++i) {
        const process_t* process = model.processes[i];
        if (!process->defined) {
            fuzz_require(process->may.empty() && process->must.empty(),
                         "an undefined process has transitions");
        }
        for (const transition_t& t : process->may) {
            fuzz_require(t.target >= 0 && t.target < n, "may target out of range");
            fuzz_require(t.action >= 0 && t.action < model.action_count, "may action out of range");
            if (after_restriction && !process->deadlocked)
                fuzz_require(!model.processes[t.target]->deadlocked,
                             "a kept may transition leads to a deadlocked process");
        }
        for (const alternatives_t h : process->must) {
            if (!after_restriction || !process->deadlocked)
                fuzz_require(!h.empty(), "empty must hypertransition");
            for (size_t i = 0; i < h.size(); ++i) {
                fuzz_require(i == 0 || h[i - 1] < h[i], "hypertransition not sorted or has duplicates");
                fuzz_require(process->may.count(h[i]) == 1, "must alternative missing from may");
            }
        }
        if (after_restriction && !process->deadlocked)
            fuzz_require(!process->must.empty(), "a live process kept no must hypertransition");
    }
}

void check_automaton(rabin_t& automaton, bool complete) {
    fuzz_require(automaton.state_count > 0, "an automaton without states was accepted");
    fuzz_require(automaton.pair_count >= 0, "negative pair count accepted");
    fuzz_require(static_cast<int>(automaton.good.size()) == automaton.pair_count &&
                     static_cast<int>(automaton.bad.size()) == automaton.pair_count,
                 "good/bad not sized to the pair count");
    for (int i = 0; i < automaton.pair_count; ++i) {
        fuzz_require(automaton.good[i].capacity() == static_cast<uint32_t>(automaton.state_count) &&
                         automaton.bad[i].capacity() == static_cast<uint32_t>(automaton.state_count),
                     "acceptance set not sized to the state count");
    }
    fuzz_require(automaton.delta.size() == static_cast<size_t>(automaton.state_count) *
                                               static_cast<size_t>(automaton.letter_count()),
                 "delta not sized to states x letters");
    for (int successor : automaton.delta) {
        fuzz_require(successor >= (complete ? 0 : -1) && successor < automaton.state_count,
                     complete ? "a letter without a successor" : "successor out of range");
    }
    if (complete)
        fuzz_require(automaton.start >= 0 && automaton.start < automaton.state_count, "start state out of range");
    automaton.output_dot(std::cout, true);
    automaton.output_dot(std::cout, false);
}
