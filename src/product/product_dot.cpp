#include "product/product.hpp"
// STUB
void ra_product_t::output_dot() const {}
