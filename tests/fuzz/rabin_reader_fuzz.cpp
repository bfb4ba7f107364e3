// The automaton reader over arbitrary bytes: it either refuses the text with
// a message or yields an automaton whose tables match its declared sizes and
// which renders without reading outside them.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include "fuzz_support.hpp"
#include "rabin/rabin.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_setup();
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string error;
    std::unique_ptr<rabin_t> automaton = read_rabin_automaton(in, error);
    if (!automaton) {
        fuzz_require(error.find('\n') == std::string::npos, "error message spans several lines");
        return 0;
    }
    fuzz_require(error.empty(), "an error message came with an automaton");
    fuzz_require(automaton->state_count > 0, "an automaton without states was accepted");
    fuzz_require(automaton->pair_count >= 0, "negative pair count accepted");
    fuzz_require(static_cast<int>(automaton->good.size()) == automaton->pair_count &&
                     static_cast<int>(automaton->bad.size()) == automaton->pair_count,
                 "good/bad not sized to the pair count");
    for (int i = 0; i < automaton->pair_count; ++i) {
        fuzz_require(automaton->good[i].capacity() == static_cast<uint32_t>(automaton->state_count) &&
                         automaton->bad[i].capacity() == static_cast<uint32_t>(automaton->state_count),
                     "acceptance set not sized to the state count");
    }
    fuzz_require(automaton->delta.size() == static_cast<size_t>(automaton->state_count) *
                                                static_cast<size_t>(automaton->letter_count()),
                 "delta not sized to states x letters");
    automaton->output_dot(std::cout, true);
    automaton->output_dot(std::cout, false);
    return 0;
}
