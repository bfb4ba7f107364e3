#include "product/product.hpp"
// STUB
void ra_product_t::minimize_impl() {}
