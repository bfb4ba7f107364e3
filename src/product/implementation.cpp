#include <ostream>
#include "product/product.hpp"
// STUB
std::ostream& ra_product_t::answer(std::ostream& out) const { return out; }
void ra_product_t::produce_impl() {}
void ra_product_t::output_impl(bool) {}
