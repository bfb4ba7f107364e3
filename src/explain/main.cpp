// velkin-explain: the verdict of velkin -s and, when it is NO, the
// obligations that force it and the environment's winning strategy.
// Exit status 0 YES, 1 NO, 2 unusable input or command line, 3 when the
// result could not be written, 4 when memory ran out.
#include <iostream>

#include "explain/velkin_explain.hpp"
#include "support/command_failures.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    report_broken_pipes();
    const int status = velkin_explain_main(argc, argv, std::cout, std::cerr);
    if (!output_reached(std::cout, std::cerr, "velkin-explain: ")) return 3;
    return status;
}
