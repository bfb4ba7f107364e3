// The HOA reader on its own, without the format choice in front of it, so
// that every input reaches it: it either refuses the text with a one-line
// message or yields a complete automaton (every letter of every state has a
// successor, the sink included) whose tables match its sizes.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <unordered_set>

#include "fuzz_support.hpp"
#include "rabin/automaton_readers.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_setup();
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    text_cursor_t cursor(in);
    std::string error;
    std::unique_ptr<rabin_t> automaton = read_hoa_automaton(cursor, error);
    if (!automaton) {
        fuzz_require(!error.empty(), "a refused file without a message");
        fuzz_require(error.find('\n') == std::string::npos, "error message spans several lines");
        return 0;
    }
    fuzz_require(error.empty(), "an error message came with an automaton");
    const std::unordered_set<std::string> names(automaton->ap.begin(), automaton->ap.end());
    fuzz_require(names.size() == automaton->ap.size(), "two propositions with one name");
    check_automaton(*automaton, true);
    return 0;
}
