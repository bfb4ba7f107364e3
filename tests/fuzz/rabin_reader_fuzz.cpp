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
    check_automaton(*automaton, false);
    return 0;
}
