// velkin-check: an independent verifier for the implementations that velkin
// prints. Exit status 0 when everything holds, 1 when not, 2 for unusable input.
#include <iostream>

#include "check/velkin_check.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return velkin_check_main(argc, argv, std::cout, std::cerr);
}
