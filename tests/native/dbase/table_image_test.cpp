#include "conduit/dbase/table_image.h"

#include <gtest/gtest.h>

#include "conduit/dbase/dbase_messages.h"
#include "conduit/dbase/memory_file_system.h"
#include "tests/native/dbase/dbase_test_support.h"

namespace qx::dbase {
namespace {

using testing::BuildTable;
using testing::RecordingSink;

constexpr char kPath[] = "C:\\DATA\\ORDERS.DBF";

struct Loaded {
    bool ok = false;
    TableImage image;
    RecordingSink sink;
};

void Load(const std::vector<uint8_t>& bytes, Loaded& out, std::size_t read_chunk = 0) {
    MemoryFileSystem files;
    files.Contents(kPath) = bytes;
    files.LimitReadChunk(read_chunk);
    auto file = files.Open(kPath, OpenMode::kRead);
    ASSERT_NE(file, nullptr);
    out.ok = LoadTable(*file, kPath, out.sink, out.image);
}

TEST(LoadTable, ReadsHeaderAndRecordsInAnyChunking) {
    const auto bytes = BuildTable(0x8B, {{"NAME", 'C', 5}, {"QTY", 'N', 3}},
                                  {" Alice 12", "*Bob    7", " Carl123 "});
    for (std::size_t chunk : {0u, 1u, 7u, 32u}) {
        SCOPED_TRACE(chunk);
        Loaded loaded;
        Load(bytes, loaded, chunk);
        ASSERT_TRUE(loaded.ok);
        EXPECT_TRUE(loaded.sink.reports.empty());
        EXPECT_EQ(loaded.image.version(), 0x8B);
        EXPECT_TRUE(loaded.image.memos_have_block_header());
        EXPECT_EQ(loaded.image.record_count(), 3u);
        EXPECT_EQ(loaded.image.header_length(), 97);
        EXPECT_EQ(loaded.image.record_length(), 9);
        EXPECT_EQ(loaded.image.bytes().size(), bytes.size());
        const auto second = loaded.image.Record(1);
        EXPECT_EQ(std::string(second.begin(), second.end()), "*Bob    7");
        EXPECT_FALSE(loaded.image.IsDeleted(0));
        EXPECT_TRUE(loaded.image.IsDeleted(1));
        EXPECT_TRUE(loaded.image.Record(3).empty());
    }
}

TEST(ReadColumns, NamesTypesOffsetsAndMetaMarkers) {
    testing::FieldLayout text{"TITLE", 'C', 20, 0, {4, 'M', 'X', 'Q'}};
    testing::FieldLayout wrong_marker{"AMOUNT", 'N', 8, 2, {6, 'M', 'X', 'R'}};
    testing::FieldLayout long_name{"ELEVENCHARS", 'D', 8};
    testing::FieldLayout meta_zero{"FLAG", 'L', 1, 0, {0, 'M', 'X', 'Q'}};
    Loaded loaded;
    Load(BuildTable(0x03, {text, wrong_marker, long_name, meta_zero, {"NOTE", 'M', 10}}, {}),
         loaded);
    ASSERT_TRUE(loaded.ok);
    const auto columns = ReadColumns(loaded.image);
    struct Expected {
        const char* name;
        char type;
        uint8_t length, decimals;
        ColMetaType meta;
        uint32_t offset;
    };
    const Expected expected[] = {{"TITLE", 'C', 20, 0, 4, 0},
                                 {"AMOUNT", 'N', 8, 2, 255, 20},
                                 {"ELEVENCHARS", 'D', 8, 0, 255, 28},
                                 {"FLAG", 'L', 1, 0, 0, 36},
                                 {"NOTE", 'M', 10, 0, 255, 37}};
    ASSERT_EQ(columns.size(), std::size(expected));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(columns[i].name, expected[i].name);
        EXPECT_EQ(static_cast<char>(columns[i].type), expected[i].type);
        EXPECT_EQ(columns[i].length, expected[i].length);
        EXPECT_EQ(columns[i].decimals, expected[i].decimals);
        EXPECT_EQ(columns[i].meta, expected[i].meta);
        EXPECT_EQ(columns[i].offset, expected[i].offset);
    }
}

TEST(ReadColumns, NoDescriptorsGiveAnEmptyList) {
    Loaded loaded;
    Load(BuildTable(0x03, {}, {" "}), loaded);
    ASSERT_TRUE(loaded.ok);
    EXPECT_TRUE(ReadColumns(loaded.image).empty());
}

TEST(ReadColumns, WithoutTerminatorTheWalkStopsAtTheHeaderLength) {
    // Two descriptors, then the records at once: the header length says 96, no 0x0D.
    auto bytes = BuildTable(0x03, {{"A", 'C', 2}, {"B", 'C', 2}}, {" xxyy"});
    bytes.erase(bytes.begin() + 96);  // the terminator
    bytes[8] = 96;
    Loaded loaded;
    Load(bytes, loaded);
    ASSERT_TRUE(loaded.ok);
    const auto columns = ReadColumns(loaded.image);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1].name, "B");
    const auto record = loaded.image.Record(0);
    EXPECT_EQ(std::string(record.begin(), record.end()), " xxyy");
}

TEST(LoadTable, RecordLengthLimit) {
    struct Case {
        uint16_t record_length;
        bool loads;
    };
    for (const Case& c : {Case{0xFC00, true}, Case{0xFC01, false}}) {
        SCOPED_TRACE(c.record_length);
        std::string record(c.record_length, ' ');
        auto bytes = BuildTable(0x03, {{"A", 'C', 200}}, {record});
        bytes[10] = static_cast<uint8_t>(c.record_length);
        bytes[11] = static_cast<uint8_t>(c.record_length >> 8);
        Loaded loaded;
        Load(bytes, loaded);
        EXPECT_EQ(loaded.ok, c.loads);
        if (c.loads) {
            EXPECT_TRUE(loaded.sink.reports.empty());
        } else {
            ASSERT_EQ(loaded.sink.reports.size(), 1u);
            EXPECT_EQ(loaded.sink.reports[0].message,
                      "1230Row in dBase table exceeds 32K! Table file = ");
            EXPECT_EQ(loaded.sink.reports[0].detail, kPath);
            EXPECT_FALSE(loaded.image.loaded());
        }
    }
}

TEST(LoadTable, MissingEndOfFileByteIsAccepted) {
    auto bytes = BuildTable(0x03, {{"A", 'C', 3}}, {" abc"});
    bytes.pop_back();
    Loaded loaded;
    Load(bytes, loaded);
    EXPECT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.sink.reports.empty());
}

// Damaged files are refused with one report that names the path and what did not fit.
TEST(LoadTable, RefusesDamagedLayouts) {
    struct Case {
        const char* what;
        std::size_t patch_at;  // little-endian 16-bit value written there
        uint16_t value;
        const char* detail_part;
    };
    const Case cases[] = {
        {"header length inside the header", 8, 20, "header length 20 at offset 0x8"},
        {"fields longer than the record", 10, 4, "the record length at offset 0xA is 4"},
        {"record count beyond the file", 4, 3, "the file ends at"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = BuildTable(0x03, {{"A", 'C', 3}, {"B", 'C', 3}}, {" abcdef"});
        bytes[c.patch_at] = static_cast<uint8_t>(c.value);
        bytes[c.patch_at + 1] = static_cast<uint8_t>(c.value >> 8);
        Loaded loaded;
        Load(bytes, loaded);
        EXPECT_FALSE(loaded.ok);
        ASSERT_EQ(loaded.sink.reports.size(), 1u);
        EXPECT_EQ(loaded.sink.reports[0].message, kMsgTableDamaged);
        EXPECT_EQ(loaded.sink.reports[0].detail.rfind(std::string(kPath) + ": ", 0), 0u);
        EXPECT_NE(loaded.sink.reports[0].detail.find(c.detail_part), std::string::npos)
            << loaded.sink.reports[0].detail;
    }
}

TEST(LoadTable, HugeRecordCountCostsNoMoreThanTheFile) {
    auto bytes = BuildTable(0x03, {{"A", 'C', 200}}, {std::string(201, ' ')});
    bytes[4] = bytes[5] = bytes[6] = bytes[7] = 0xFF;  // 4,294,967,295 records claimed
    Loaded loaded;
    Load(bytes, loaded);
    EXPECT_FALSE(loaded.ok);
    ASSERT_EQ(loaded.sink.reports.size(), 1u);
    EXPECT_EQ(loaded.sink.reports[0].message, kMsgTableDamaged);
}

// The file cut at every boundary between fields of the format: each cut before the last record
// ends is refused with a clear report; only the end-of-file byte may be missing.
TEST(LoadTable, TruncatedAtEveryFieldBoundary) {
    const auto whole = BuildTable(0x8B, {{"NAME", 'C', 4}, {"NOTE", 'M', 10}},
                                  {" Ann 0000000001", " Bo  0000000002"});
    // header fields, each descriptor's fields, terminator, each record's flag and fields, EOF.
    std::vector<std::size_t> cuts = {0, 1, 4, 8, 10, 12, 31};
    for (std::size_t d = 0; d < 2; ++d) {
        for (std::size_t in : {0u, 11u, 12u, 16u, 17u, 18u}) {
            cuts.push_back(32 + 32 * d + in);
        }
    }
    const std::size_t records = 97;
    for (std::size_t r = 0; r < 2; ++r) {
        for (std::size_t in : {0u, 1u, 5u, 14u}) {
            cuts.push_back(records + 15 * r + in);
        }
    }
    cuts.push_back(96);
    cuts.push_back(whole.size() - 1);
    for (std::size_t cut : cuts) {
        SCOPED_TRACE(cut);
        Loaded loaded;
        Load(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)),
             loaded);
        const bool whole_records = cut >= whole.size() - 1;
        EXPECT_EQ(loaded.ok, whole_records);
        if (!whole_records) {
            ASSERT_EQ(loaded.sink.reports.size(), 1u);
            EXPECT_EQ(loaded.sink.reports[0].message, kMsgTableDamaged);
            EXPECT_NE(loaded.sink.reports[0].detail.find("offset"), std::string::npos);
        }
    }
}

TEST(LoadTable, ReleaseFreesTheImage) {
    Loaded loaded;
    Load(BuildTable(0x03, {{"A", 'C', 1}}, {" x"}), loaded);
    ASSERT_TRUE(loaded.image.loaded());
    loaded.image.Release();
    EXPECT_FALSE(loaded.image.loaded());
    EXPECT_EQ(loaded.image.record_count(), 0u);
    EXPECT_TRUE(loaded.image.Record(0).empty());
}

}  // namespace
}  // namespace qx::dbase
