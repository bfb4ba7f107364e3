// velkin-ltl: LTL formula in, deterministic Rabin automaton out.
#include <iostream>

#include "ltl/velkin_ltl.hpp"
#include "support/command_failures.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    report_broken_pipes();
    const int status = velkin_ltl_main(argc, argv, std::cin, std::cout, std::cerr);
    if (!output_reached(std::cout, std::cerr, "velkin-ltl: ")) return 1;
    return status;
}
