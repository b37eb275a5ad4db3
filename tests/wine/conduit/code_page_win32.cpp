// The code-page tables the native build uses must convert exactly as Windows does on this
// desktop (ANSI 1252, OEM 437): all 256 bytes, both directions.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "conduit/dbase/code_page.h"

namespace qx::test {
namespace {

TEST(CodePages, NativeTablesAgreeWithTheSystemOnEveryByte) {
    std::array<uint8_t, 256> to_oem, to_ansi;
    for (int b = 0; b < 256; ++b) {
        to_oem[b] = to_ansi[b] = static_cast<uint8_t>(b);
    }
    dbase::AnsiToOem(to_oem);   // CharToOemBuffA in this build
    dbase::OemToAnsi(to_ansi);  // OemToCharBuffA
    const auto& native_to_oem = dbase::BestFitAnsiToOem437();
    const auto& native_to_ansi = dbase::BestFitOem437ToAnsi();
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(native_to_oem[b], to_oem[b]) << "ANSI to OEM";
        EXPECT_EQ(native_to_ansi[b], to_ansi[b]) << "OEM to ANSI";
    }
}

}  // namespace
}  // namespace qx::test
