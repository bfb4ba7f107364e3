#include <ostream>
#include "rabin/rabin.hpp"
// STUB
bool rabin_t::out_gb_string(std::ostream&, int) const { return false; }
void rabin_t::output_dot(std::ostream&, bool) {}
