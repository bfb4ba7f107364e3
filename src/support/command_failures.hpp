// Failures that every command reports the same way, in one line on standard
// error: output that never reached its destination, and memory that ran out.
// A stream keeps a failed write to itself, and an exhausted heap throws; a
// command that handled neither would report a lost result as success or end
// in an abort.
#pragma once

#include <iosfwd>
#include <string>

// Makes a write to a pipe whose reader has gone fail with EPIPE, like a write
// to a full disk, instead of ending the process silently by SIGPIPE, so that
// output_reached reports it.
void report_broken_pipes();

// Flushes out. When that or an earlier write to it failed, writes the line
// prefix + "cannot write " + destination + ": " + the system's reason to err
// and returns false.
bool output_reached(std::ostream& out, std::ostream& err, const char* prefix = "",
                    const std::string& destination = "standard output");

// Writes the line prefix + "out of memory while " + stage + suffix to err.
// Called after the stack has unwound, when the memory of the run is free
// again; it allocates nothing itself.
void report_out_of_memory(std::ostream& err, const char* prefix, const char* stage, const char* suffix = "");
