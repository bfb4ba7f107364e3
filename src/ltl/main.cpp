// velkin-ltl: LTL formula in, deterministic Rabin automaton out.
#include <iostream>

#include "ltl/velkin_ltl.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return velkin_ltl_main(argc, argv, std::cin, std::cout, std::cerr);
}
