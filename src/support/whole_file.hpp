// Reads a whole input file into memory for the companion commands, whose
// inputs are small, and names the cause when it cannot: a missing file, a
// directory, a closed standard input.
#pragma once

#include <string>

// Reads the file name ("-": standard input) into text. On failure returns
// false with error "NAME: cannot be opened: REASON" or "NAME: cannot be read:
// REASON".
bool read_whole_file(const std::string& name, std::string& text, std::string& error);
