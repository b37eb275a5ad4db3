#pragma once
// The numbered and uncoded messages of the table transfer and retrieval. None of them takes a
// detail; the dBase file messages (1180, 1190, 1230, 1300, 1330) live with the dBase code.

#include <string_view>

namespace qx::tables {

inline constexpr std::string_view kMsgCannotCopyRecord =
    "1060Error occurred while copying record to handheld.";
inline constexpr std::string_view kMsgTableHasNoFields = "1200dBase table has no fields!";
inline constexpr std::string_view kMsgInfoBlockOutOfMemory =
    "1210Out of memory when allocating table info block.";
inline constexpr std::string_view kMsgCannotWriteInfoBlock =
    "1220Could not write table info block to handheld.";
inline constexpr std::string_view kMsgCannotReadInfoBlock =
    "1270Could not read table info block from handheld.";
inline constexpr std::string_view kMsgReadInfoBlockOutOfMemory =
    "1280Out of memory when reading table info block.";
inline constexpr std::string_view kMsgCannotReadRows =
    "1290Error occurred when reading table rows from handheld.";
inline constexpr std::string_view kMsgRowsOutOfMemory =
    "1310Out of memory error occurred when reading table rows from handheld.";
inline constexpr std::string_view kMsgCannotPurge =
    "1340Error occurred when purging deleted records on handheld.";

inline constexpr std::string_view kMsgUnknownColMetaType = "Unknown ColMetaType";
inline constexpr std::string_view kMsgUnknownPdaFieldType = "Unknown PDA_FIELDTYPE";
inline constexpr std::string_view kMsgUnknownDbaseType = "Unknown DBASE_TYPE";

}  // namespace qx::tables
