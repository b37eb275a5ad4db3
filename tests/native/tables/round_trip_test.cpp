// A desktop table sent to the handheld and brought back keeps every live row's values.

#include <gtest/gtest.h>

#include "conduit/dbase/field_text.h"
#include "conduit/dbase/table_image.h"
#include "tests/native/dbase/dbase_test_support.h"
#include "tests/native/tables/table_fixture.h"

namespace qx::tables {
namespace {

using dbase::testing::BuildTable;
using dbase::testing::FieldLayout;

constexpr char kSource[] = "C:\\SRC\\Visits.DBF";
constexpr char kSourceMemo[] = "C:\\SRC\\Visits.dbt";
constexpr char kBack[] = "C:\\BACK\\Visits.DBF";

// Every row's field texts as the transfer reads them.
std::vector<std::vector<std::string>> LiveValues(dbase::MemoryFileSystem& files,
                                                 const std::string& path) {
    dbase::testing::RecordingSink sink;
    dbase::TableImage image;
    auto file = files.Open(path, dbase::OpenMode::kRead);
    EXPECT_NE(file, nullptr);
    if (file == nullptr || !dbase::LoadTable(*file, path, sink, image)) {
        ADD_FAILURE() << "cannot load " << path;
        return {};
    }
    dbase::MemoFile memo(files, sink);
    memo.SetMemoPath(path);
    const auto columns = dbase::ReadColumns(image);
    std::vector<std::vector<std::string>> rows;
    for (uint32_t r = 0; r < image.record_count(); ++r) {
        if (image.IsDeleted(r)) {
            continue;
        }
        std::vector<std::string> values;
        for (const auto& column : columns) {
            values.push_back(dbase::ReadFieldText(image, r, column, memo).text);
        }
        rows.push_back(values);
    }
    EXPECT_TRUE(sink.reports.empty());
    return rows;
}

class RoundTripTest : public testing::TableTest {};

TEST_F(RoundTripTest, EveryLiveRowKeepsItsValues) {
    const std::vector<FieldLayout> fields = {
        {"NAME", 'C', 12},
        {"CODE", 'C', 6, 0, {4, 'M', 'X', 'Q'}},
        {"QTY", 'N', 5},
        {"BIG", 'N', 12},
        {"PRICE", 'N', 9, 2},
        {"WHEN", 'D', 8},
        {"OK", 'L', 1},
        {"NOTE", 'M', 10},
        {"SERIAL", 'N', 10, 0, {6, 'M', 'X', 'Q'}},
    };
    // Memos: a two-line one at block 1, an empty one at block 2.
    ByteWriter memo(ByteOrder::kLittle);
    memo.U32(3);
    memo.Zeros(14);
    memo.U16(0x0102);
    memo.U32(512);
    memo.Zeros(512 - 24);
    const std::string note = "first line\r\nsecond \x81 line";
    memo.Bytes(std::vector<uint8_t>{0xFF, 0xFF, 0x08, 0x00});
    memo.U32(static_cast<uint32_t>(note.size() + 8));
    memo.Text(note);
    memo.Zeros(1024 - memo.size());
    memo.Bytes(std::vector<uint8_t>{0xFF, 0xFF, 0x08, 0x00});
    memo.U32(8);
    memo.Zeros(504);
    files_.Contents(kSourceMemo) = memo.Take();
    // Each value padded as dBase pads it: numbers to the right, the rest to the left.
    const auto row = [&](char flag, std::vector<std::string> values) {
        std::string out(1, flag);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::size_t gap = fields[i].length - values[i].size();
            out += fields[i].type == 'N' ? std::string(gap, ' ') + values[i]
                                         : values[i] + std::string(gap, ' ');
        }
        return out;
    };
    files_.Contents(kSource) = BuildTable(
        0x8B, fields,
        {row(' ',
             {"Gr\x81n", "abc", "12", "1234567890", "-3.25", "20240229", "T", "0000000001", "77"}),
         row('*', {"Gone", "x", "1", "1", "1.00", "19990101", "F", "", "1"}),
         row(' ', {"", "", "", "", "", "", "", "", ""}),
         row(' ', {"Z\xE1", "zz", "-4", "-99", "1234.50", "20001231", "?", "0000000002",
                   "-123456789"})});
    // The same name in another folder: the table comes back beside nothing of the original.
    ASSERT_EQ(Copy(kSource), 1);
    ASSERT_EQ(Get(kBack), 1);
    EXPECT_TRUE(Messages().empty()) << ::testing::PrintToString(Messages());

    const auto sent = LiveValues(files_, kSource);
    const auto back = LiveValues(files_, kBack);
    ASSERT_EQ(sent.size(), 3u);
    ASSERT_EQ(back.size(), sent.size());
    for (std::size_t r = 0; r < sent.size(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(back[r], sent[r]);
    }
    EXPECT_EQ(sent[0][7], "first line\r\nsecond \xFC line");  // memo text, in ANSI
}

}  // namespace
}  // namespace qx::tables
