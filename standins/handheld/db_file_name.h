#pragma once
// Database names to file names and back. A database name may hold any byte, but a file name in the
// device folder must not escape it or collide on a case-insensitive disk, so every byte other than
// A-Z, 0-9, '-' and '_' is written as %XX (upper-case hex), and a name that would spell a
// reserved Windows device name (CON, NUL, COM1 ...) has its first byte escaped too.
// "QX-SE_Orders" -> "QX-SE_O%72%64%65%72%73.pdb".

#include <optional>
#include <string>
#include <string_view>

namespace qx {

inline constexpr std::string_view kRecordDbExtension = ".pdb";
inline constexpr std::string_view kResourceDbExtension = ".prc";

std::string DbFileName(std::string_view db_name, bool resource);

struct DecodedDbFileName {
    std::string db_name;
    bool resource = false;
};

// Nothing for a file that is not a database written by DbFileName.
std::optional<DecodedDbFileName> DecodeDbFileName(std::string_view file_name);

}  // namespace qx
