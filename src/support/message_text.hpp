// Pieces of one-line diagnostics. Input bytes quoted in a message are made
// printable, so that a control byte (a carriage return, say) cannot break
// the line or the terminal; and a message about a file names its line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// "line N: reason".
std::string at_line(int line, const std::string& reason);

// text with every byte outside printable ASCII written as \xNN.
std::string printable_bytes(std::string_view text);

// The first 24 bytes of text made printable, with "..." when there are more:
// enough to recognise what was read, however long it is.
std::string message_excerpt(std::string_view text);
