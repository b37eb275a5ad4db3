#pragma once
// qxpdb read-table: a handheld table database brought back into a dBase table without a HotSync,
// by the conduit's own retrieval (command 4). The same portable code runs natively and on
// Windows: Corvane.dll has no export for it, so it is linked into the tool.

#include <string>

namespace qx {

// `source` is a .pdb file of a table database or an emulated handheld's folder; `table` is the
// .DBF to write (its .DBT beside it). A .pdb is loaded into an emulated handheld held in memory,
// under the name the retrieval looks for, so the file itself is never changed. Answers the exit
// status: 0 when the table was written, 1 otherwise (the reason shown on stderr).
int ReadTable(const std::string& source, const std::string& table);

}  // namespace qx
