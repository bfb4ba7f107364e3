#include "support/message_text.hpp"

namespace {

void append_printable(std::string& out, std::string_view text) {
    static const char digits[] = "0123456789abcdef";
    for (char byte : text) {
        const unsigned char c = static_cast<unsigned char>(byte);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
}

}  // namespace

std::string at_line(int line, const std::string& reason) { return "line " + std::to_string(line) + ": " + reason; }

std::string printable_bytes(std::string_view text) {
    std::string out;
    append_printable(out, text);
    return out;
}

std::string message_excerpt(std::string_view text) {
    constexpr std::size_t shown = 24;
    std::string out;
    append_printable(out, text.substr(0, shown));
    if (text.size() > shown) out += "...";
    return out;
}
