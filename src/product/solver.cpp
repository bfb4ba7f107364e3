#include "product/product.hpp"
// STUB
void ra_product_t::solve() {}
bitset_t ra_product_t::cpred(const bitset_t& x) const { return x; }
