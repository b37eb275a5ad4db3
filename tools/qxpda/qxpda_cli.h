#pragma once
// The qxpda command line, apart from main so the tests can run it: 0 when done, 1 for a bad or
// unreadable description or an output that cannot be written, 2 for a wrong command line.

#include <ostream>
#include <string>
#include <vector>

namespace qx::pda {

int RunQxpda(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qx::pda
