#include "dmts/dmts.hpp"
// STUB
void process_t::output_dot(const std::vector<std::unique_ptr<process_t>>*, const std::vector<std::string>*, int&, bool) const {}
void process_t::output(const std::vector<std::unique_ptr<process_t>>*, const std::vector<std::string>*) const {}
void dmts_t::output_dot(int) const {}
void dmts_t::draw(int) const {}
