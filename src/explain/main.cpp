// velkin-explain: the verdict of velkin -s and, when it is NO, the
// obligations that force it and the environment's winning strategy.
// Exit status 0 YES, 1 NO, 2 unusable input or command line.
#include <iostream>

#include "explain/velkin_explain.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return velkin_explain_main(argc, argv, std::cout, std::cerr);
}
