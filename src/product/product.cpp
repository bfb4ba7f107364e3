#include "product/product.hpp"
// STUB
void ra_product_t::init_actions() {}
void ra_product_t::make_product() {}
void ra_product_t::set_gb() {}
