#include "conduit/dbase/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace qx::dbase {
namespace {

TEST(CodePage, AsciiIsUnchangedBothWays) {
    for (int b = 0; b < 0x80; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(BestFitAnsiToOem437()[b], b);
        EXPECT_EQ(BestFitOem437ToAnsi()[b], b);
    }
}

TEST(CodePage, CharactersOfBothPagesRoundTrip) {
    // ANSI 1252 byte and its OEM 437 counterpart: letters of western languages and common signs.
    const std::pair<uint8_t, uint8_t> pairs[] = {
        {0xE9, 0x82}, {0xE8, 0x8A}, {0xFC, 0x81}, {0xC4, 0x8E}, {0xD6, 0x99}, {0xDC, 0x9A},
        {0xDF, 0xE1}, {0xF1, 0xA4}, {0xD1, 0xA5}, {0xA3, 0x9C}, {0xA5, 0x9D}, {0xBD, 0xAB},
        {0xBC, 0xAC}, {0xB1, 0xF1}, {0xB0, 0xF8}, {0xB7, 0xFA}, {0xBF, 0xA8}, {0xA1, 0xAD},
        {0xAB, 0xAE}, {0xBB, 0xAF}, {0xAA, 0xA6}, {0xBA, 0xA7}, {0xAC, 0xAA}, {0xB5, 0xE6},
        {0xF7, 0xF6}, {0xB2, 0xFD}, {0xC7, 0x80}, {0xE7, 0x87}, {0xFF, 0x98}, {0xA0, 0xFF},
        {0xA2, 0x9B}, {0xC9, 0x90}, {0xE6, 0x91}, {0xC6, 0x92}, {0x83, 0x9F},
    };
    for (const auto& [ansi, oem] : pairs) {
        SCOPED_TRACE(::testing::Message() << std::hex << int{ansi});
        EXPECT_EQ(BestFitAnsiToOem437()[ansi], oem);
        EXPECT_EQ(BestFitOem437ToAnsi()[oem], ansi);
    }
}

TEST(CodePage, BestFitsAndQuestionMarks) {
    struct Case {
        const char* what;
        bool to_oem;
        uint8_t from, to;
    };
    const Case cases[] = {
        {"euro sign has no fit", true, 0x80, '?'},
        {"unassigned 0x81", true, 0x81, '?'},
        {"A with grave", true, 0xC0, 'A'},
        {"trade mark", true, 0x99, 'T'},
        {"left double quote", true, 0x93, '"'},
        {"copyright", true, 0xA9, 'c'},
        {"thorn", true, 0xFE, '_'},
        {"box vertical", false, 0xB3, 0xA6},
        {"box corner", false, 0xDA, '+'},
        {"box horizontal", false, 0xC4, '-'},
        {"greek pi", false, 0xE3, 'p'},
        {"greek sigma", false, 0xE4, 'S'},
        {"peseta", false, 0x9E, 'P'},
        {"full block", false, 0xDB, 0xA6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ByteMap& map = c.to_oem ? BestFitAnsiToOem437() : BestFitOem437ToAnsi();
        EXPECT_EQ(map[c.from], c.to);
    }
}

TEST(CodePage, InPlaceConversionsApplyTheMapsToEveryByte) {
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b) {
        all[static_cast<std::size_t>(b)] = static_cast<char>(b);
    }
    std::string to_oem = all;
    AnsiToOem(std::span(reinterpret_cast<uint8_t*>(to_oem.data()), to_oem.size()));
    std::string to_ansi = all;
    OemToAnsi(std::span(reinterpret_cast<uint8_t*>(to_ansi.data()), to_ansi.size()));
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(static_cast<uint8_t>(to_oem[static_cast<std::size_t>(b)]),
                  BestFitAnsiToOem437()[b]);
        EXPECT_EQ(static_cast<uint8_t>(to_ansi[static_cast<std::size_t>(b)]),
                  BestFitOem437ToAnsi()[b]);
    }
}

}  // namespace
}  // namespace qx::dbase
