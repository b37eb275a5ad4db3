#pragma once
// The runtime engine's application directory, "QX-SE_SysHeap". The conduit reads only its 26-byte
// application info block: "QXDR", a version, and from version 0x0102 on the user ID.

#include <cstdint>

#include "conduit/pdb/palm_database.h"

namespace qx {

inline constexpr uint16_t kAppDirectoryVersion = 0x0102;
inline constexpr uint32_t kAppDirectoryType = 0x44415441;  // 'DATA'

PalmDatabase MakeAppDirectoryDatabase(uint32_t user_id, uint32_t palm_date);

}  // namespace qx
