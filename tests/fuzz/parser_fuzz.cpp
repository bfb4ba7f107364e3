// Scanner and parser over arbitrary bytes: the parse must end (normally, with
// a syntax error, or through scanner_fatal), leave a model whose invariants
// hold, and that model must render and survive the deadlock-free restriction.
#include <cstddef>
#include <cstdint>
#include <iostream>

#include "dmts/dmts.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_setup();
    dmts_t model;
    dmts = &model;
    int result = fuzz_parse(reinterpret_cast<const char*>(data), size);
    fuzz_require(result >= -1 && result <= 2, "yyparse returned an undocumented value");
    check_model(model, false);
    if (result == 0) fuzz_require(model.def_stack.empty(), "definitions left open after a valid parse");
    if (result != -1) {
        // Render from the first named process (or nil) and from the last process.
        model.output_dot(model.process_count > 1 ? 1 : 0, std::cout);
        model.output_dot(model.process_count - 1, std::cout);
        model.disallow_deadlocks();
        check_model(model, true);
        model.output_dot(model.process_count - 1, std::cout);
    }
    dmts = nullptr;
    return 0;
}
