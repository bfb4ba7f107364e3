#include "support/command_failures.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ostream>

void report_broken_pipes() { std::signal(SIGPIPE, SIG_IGN); }

bool output_reached(std::ostream& out, std::ostream& err, const char* prefix, const std::string& destination) {
    errno = 0;
    out.flush();
    if (out) return true;
    int reason = errno;
    // The write that failed may lie far back, its errno long overwritten; the
    // bytes it could not write are still buffered, so writing them once more
    // names the cause again.
    out.clear();
    errno = 0;
    out.flush();
    if (errno != 0) reason = errno;
    out.setstate(std::ios::badbit);
    err << prefix << "cannot write " << destination << ": "
        << (reason != 0 ? std::strerror(reason) : "input/output error") << std::endl;
    return false;
}

void report_out_of_memory(std::ostream& err, const char* prefix, const char* stage, const char* suffix) {
    err << prefix << "out of memory while " << stage << suffix << std::endl;
}
