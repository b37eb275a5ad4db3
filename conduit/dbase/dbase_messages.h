#pragma once
// The conduit's messages about dBase files, each one literal: four decimal digits and the text,
// which expects the detail named beside it.

namespace qx::dbase {

inline constexpr char kMsgTableOutOfMemory[] =  // table path
    "1180Out of memory when reading in dBase table - ";
inline constexpr char kMsgTableOpenFailed[] =  // table path
    "1190Could not open specified dBase table file - ";
inline constexpr char kMsgRowTooLong[] =  // table path
    "1230Row in dBase table exceeds 32K! Table file = ";
inline constexpr char kMsgCloseFailed[] =  // file path
    "1300Error occurred when closing file ";
inline constexpr char kMsgMemoOpenFailed[] =  // memo path
    "1330Could not open specified dBase memo file - ";

// Never shown: it stands in for the value of a memo field whose memo cannot be read, and travels
// to the handheld as that field's text.
inline constexpr char kMemoUnreadableText[] =
    "Quorvix Conduit Error 1320: could not read .DBT record.";

// Faults that the numbered table has no code for. Each takes the file path followed by ": " and
// a description that names the field and its offset.
inline constexpr char kMsgTableDamaged[] = "dBase table file is damaged - ";
inline constexpr char kMsgWriteFailed[] = "Error occurred when writing dBase file - ";

}  // namespace qx::dbase
