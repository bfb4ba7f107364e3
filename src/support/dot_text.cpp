#include "support/dot_text.hpp"

#include <cctype>

std::string dot_escaped(const std::string& name) {
    if (name.find_first_of("\"\\") == std::string::npos) return name;
    std::string out;
    out.reserve(name.size() + 8);
    for (char c : name) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

namespace {

bool is_plain_identifier(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) || c == '_') || u >= 128) return false;
    }
    return true;
}

bool is_dot_keyword(const std::string& name) {
    static const char* const keywords[] = {"node", "edge", "graph", "digraph", "subgraph", "strict"};
    for (const char* keyword : keywords) {
        std::string k(keyword);
        if (k.size() != name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < k.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(name[i])) == k[i];
        if (same) return true;
    }
    return false;
}

}  // namespace

std::string dot_identifier(const std::string& name) {
    if (is_plain_identifier(name) && !is_dot_keyword(name)) return name;
    return "\"" + dot_escaped(name) + "\"";
}
