// Writing names into DOT text. Names from the specification language need no
// care, but a process name given on the command line can hold anything, and a
// bare DOT identifier that is a keyword would change the statement's meaning.
#pragma once

#include <string>

// The name with every '"' and '\' preceded by a backslash, for use inside a
// quoted DOT string. Names without those characters come back unchanged.
std::string dot_escaped(const std::string& name);

// The name as a DOT node identifier: bare when it is a plain identifier
// (letters, digits, underscores, not starting with a digit) and not a DOT
// keyword in any letter case; otherwise quoted and escaped.
std::string dot_identifier(const std::string& name);
