#pragma once
// Text in dBase files is in the desktop's OEM code page; the rest of the kit works in the ANSI
// code page. These conversions are applied at the dBase boundary only, one byte for one byte, so
// fixed-width fields keep their widths.
//
// On Windows AnsiToOem and OemToAnsi are the system's own conversions (CharToOemBuffA and
// OemToCharBuffA with the system code pages); elsewhere they use the best-fit maps below, which
// are what Windows does with ANSI page 1252 and OEM page 437. A byte without a counterpart and
// without a best fit becomes '?'.

#include <array>
#include <cstdint>
#include <span>

namespace qx::dbase {

using ByteMap = std::array<uint8_t, 256>;

// ANSI 1252 -> OEM 437, best fit.
const ByteMap& BestFitAnsiToOem437();
// OEM 437 -> ANSI 1252, best fit.
const ByteMap& BestFitOem437ToAnsi();

// In-place conversions at the dBase boundary.
void AnsiToOem(std::span<uint8_t> text);
void OemToAnsi(std::span<uint8_t> text);

}  // namespace qx::dbase
