// The whole pipeline in-process. Input layout: byte 0 holds the mode bits,
// byte 1 picks the process, then the automaton text up to the first NUL byte,
// then the specification. Mode bits: 1 deadlock-free restriction, 6 (two bits)
// the output (0 product, 1 text implementation, 2 DOT implementation,
// 3 solved product), 8 minimisation.
//
// Beyond "no crash", the solved game is checked: the winning region must be
// closed the way the solver's fixpoint promises, and the extracted
// implementation must stay inside it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "dmts/dmts.hpp"
#include "fuzz_support.hpp"
#include "product/product.hpp"
#include "rabin/rabin.hpp"

namespace {

// The solver explores every order of the acceptance pairs, and each level
// iterates nested fixpoints; beyond these sizes a single input takes seconds,
// which is the algorithm's nature rather than a fault worth reporting.
constexpr int max_pairs = 3;
constexpr int max_product_states = 4000;

void check_solution(const ra_product_t& p) {
    const bitset_t& win = *p.win;
    fuzz_require(win.capacity() == static_cast<uint32_t>(p.state_count), "win not sized to the product");
    for (int s = 0; s < p.state_count; ++s) {
        if (!win.test(s)) continue;
        bool choice = p.is_choice(s);
        bool any_winning = false, all_winning = true;
        uint32_t least = UINT32_MAX;
        for (uint32_t e = p.edge_begin[s]; e < p.edge_begin[s + 1]; ++e) {
            int t = p.edges[e].target;
            fuzz_require(t >= 0 && t < p.state_count, "edge target out of range");
            if (win.test(t)) {
                any_winning = true;
                if (p.rank[t] < least) least = p.rank[t];
            } else {
                all_winning = false;
            }
        }
        if (choice) {
            fuzz_require(any_winning, "a winning choice node has no winning successor");
            fuzz_require(p.best_rank[s] == least, "best_rank is not the least winning rank");
        } else {
            fuzz_require(all_winning, "a winning state node has a losing successor");
        }
    }
}

void check_implementation(const ra_product_t& p, bool minimised) {
    if (!p.win->test(0)) {
        fuzz_require(p.impl_trans.empty(), "a losing product yielded implementation transitions");
        return;
    }
    int previous_source = -1;
    for (const impl_transition_t& t : p.impl_trans) {
        fuzz_require(t.source >= previous_source, "implementation transitions not grouped by source");
        previous_source = t.source;
        fuzz_require(t.action >= 0 && t.action < p.action_count, "implementation action out of range");
        if (minimised) continue;  // class numbers, not product states
        fuzz_require(p.impl_states->test(t.source) && p.impl_states->test(t.target),
                     "implementation transition leaves the implementation states");
        fuzz_require(!p.is_choice(t.target) && p.win->test(t.target),
                     "implementation reaches a choice node or a losing state");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_setup();
    if (size < 2) return 0;
    const unsigned mode = data[0];
    const unsigned selector = data[1];
    const char* text = reinterpret_cast<const char*>(data + 2);
    size_t text_size = size - 2;
    const void* nul = std::memchr(text, 0, text_size);
    if (!nul) return 0;
    size_t automaton_size = static_cast<const char*>(nul) - text;

    std::istringstream automaton_in(std::string(text, automaton_size));
    std::string error;
    std::unique_ptr<rabin_t> automaton = read_rabin_automaton(automaton_in, error);
    if (!automaton || automaton->pair_count > max_pairs) return 0;

    dmts_t model;
    dmts = &model;
    int parsed = fuzz_parse(text + automaton_size + 1, text_size - automaton_size - 1);
    if (parsed == -1) {  // the program would have ended inside the scanner
        dmts = nullptr;
        return 0;
    }
    if (mode & 1) {
        model.disallow_deadlocks();
        check_model(model, true);
    }
    int process = static_cast<int>(selector % static_cast<unsigned>(model.process_count));
    if (model.processes[process]->deadlocked) {
        dmts = nullptr;
        return 0;
    }

    ra_product_t product(automaton.get(), &model, process);
    product.init_actions();
    product.make_product(std::cerr);
    fuzz_require(product.state_count >= 1 && product.states[0].choice == -1 &&
                     product.states[0].process == process,
                 "product state 0 is not the initial state node");
    product.set_gb();
    if (product.state_count <= max_product_states) {
        const unsigned output = (mode >> 1) & 3;
        if (output == 0) {
            product.output_dot(std::cout);
        } else {
            product.solve();
            check_solution(product);
            const bool minimise = mode & 8;
            if (minimise) product.minimize_impl();
            if (output == 1) product.output_impl(false, std::cout, std::cerr);
            else if (output == 2) product.output_impl(true, std::cout, std::cerr);
            else product.output_dot(std::cout);
            if (output != 3) check_implementation(product, minimise);
        }
    }
    dmts = nullptr;
    return 0;
}
