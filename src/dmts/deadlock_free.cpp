#include "dmts/dmts.hpp"
// STUB
void dmts_t::disallow_deadlocks() {}
