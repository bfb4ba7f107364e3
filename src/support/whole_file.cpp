#include "support/whole_file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>

// Read with stdio: a stream buffer over a directory or a closed descriptor
// reports the failure by throwing, which would end the program without the
// one-line diagnostic.
bool read_whole_file(const std::string& name, std::string& text, std::string& error) {
    FILE* in = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
    if (!in) {
        error = name + ": cannot be opened: " + std::strerror(errno);
        return false;
    }
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
    const bool failed = std::ferror(in) != 0;
    const int saved = errno;
    if (in != stdin) std::fclose(in);
    if (failed) {
        error = name + ": cannot be read: " + std::strerror(saved);
        return false;
    }
    return true;
}
