#include "rabin/rabin.hpp"

#include <cstddef>

// delta is laid out state-major: the letter_count() entries of one state are
// adjacent, letter -1 first.
int rabin_t::successor(int state, int letter) const {
    return delta[static_cast<std::size_t>(state) * static_cast<std::size_t>(letter_count()) +
                 static_cast<std::size_t>(letter + 1)];
}

int rabin_t::enter_successor(int state, int letter) {
    int& entry = delta[static_cast<std::size_t>(state) * static_cast<std::size_t>(letter_count()) +
                       static_cast<std::size_t>(letter + 1)];
    if (entry < 0) entry = 0;
    return entry;
}
