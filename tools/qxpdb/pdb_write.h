#pragma once
// Writes the .pdb of an application (.PDA) or table (.DBF) file beside it, as the conduit's PDB
// exports do. Returns the command's result: 1 written, 0 failed (the reasons already shown).

#include <cstdint>
#include <string>

namespace qx {

int WritePdb(bool table, const std::string& file, uint32_t creator, uint32_t flags);

}  // namespace qx
