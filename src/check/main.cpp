// velkin-check: an independent verifier for the implementations that velkin
// prints. Exit status 0 when everything holds, 1 when not, 2 for unusable
// input, 3 when the result could not be written, 4 when memory ran out.
#include <iostream>

#include "check/velkin_check.hpp"
#include "support/command_failures.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    report_broken_pipes();
    const int status = velkin_check_main(argc, argv, std::cout, std::cerr);
    if (!output_reached(std::cout, std::cerr, "velkin-check: ")) return 3;
    return status;
}
