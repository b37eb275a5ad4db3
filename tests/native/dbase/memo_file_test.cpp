#include "conduit/dbase/memo_file.h"

#include <gtest/gtest.h>

#include "conduit/dbase/dbase_messages.h"
#include "conduit/dbase/memory_file_system.h"
#include "tests/native/dbase/dbase_test_support.h"

namespace qx::dbase {
namespace {

using testing::Bytes;
using testing::RecordingSink;

constexpr char kTablePath[] = "C:\\DATA\\CUSTOMERS.DBF";
constexpr char kMemoPath[] = "C:\\DATA\\CUSTOMERS.dbt";

TEST(MemoPathFor, KeepsDriveAndFolderAndSwapsTheExtension) {
    struct Case {
        const char* table;
        const char* memo;
        const char* base;
    };
    const Case cases[] = {
        {"C:\\DATA\\ORDERS.DBF", "C:\\DATA\\ORDERS.dbt", "ORDERS"},
        {"C:\\my.dir\\orders", "C:\\my.dir\\orders.dbt", "orders"},
        {"orders.v2.dbf", "orders.v2.dbt", "orders.v2"},
        {"C:orders.dbf", "C:orders.dbt", "orders"},
        {"/home/pat/tables/Orders.dbf", "/home/pat/tables/Orders.dbt", "Orders"},
        {"", ".dbt", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        EXPECT_EQ(MemoPathFor(c.table), c.memo);
        EXPECT_EQ(TableBaseName(c.table), c.base);
    }
}

class MemoFileTest : public ::testing::Test {
  protected:
    MemoFileTest() { memo_.SetMemoPath(kTablePath); }
    std::vector<uint8_t>& stored() { return files_.Contents(kMemoPath); }

    MemoryFileSystem files_;
    RecordingSink sink_;
    MemoFile memo_{files_, sink_};
};

TEST_F(MemoFileTest, WritesHeaderBlockAndMemosByteForByte) {
    EXPECT_EQ(memo_.AppendMemo(Bytes("Hi"), true), 1u);
    EXPECT_EQ(memo_.AppendMemo(std::vector<uint8_t>(600, 'x'), true), 2u);  // blocks 2 and 3
    EXPECT_EQ(memo_.AppendMemo({}, true), 4u);  // an empty memo still takes a block
    EXPECT_EQ(memo_.next_free_block(), 5u);
    ASSERT_TRUE(memo_.FinishMemoFile());
    EXPECT_FALSE(memo_.is_open());
    EXPECT_TRUE(sink_.reports.empty());

    std::vector<uint8_t> expected(5 * 512, 0);
    const uint8_t header[24] = {5,   0,   0,   0,   0, 0, 0,    0,    'C',  'U',  'S', 'T',
                                'O', 'M', 'E', 'R', 0, 0, 0x02, 0x01, 0x00, 0x02, 0,   0};
    std::copy(std::begin(header), std::end(header), expected.begin());
    const uint8_t first[10] = {0xFF, 0xFF, 0x08, 0x00, 10, 0, 0, 0, 'H', 'i'};
    std::copy(std::begin(first), std::end(first), expected.begin() + 512);
    const uint8_t second[8] = {0xFF, 0xFF, 0x08, 0x00, 0x60, 0x02, 0, 0};  // 608
    std::copy(std::begin(second), std::end(second), expected.begin() + 1024);
    std::fill_n(expected.begin() + 1024 + 8, 600, 'x');
    const uint8_t empty[8] = {0xFF, 0xFF, 0x08, 0x00, 8, 0, 0, 0};
    std::copy(std::begin(empty), std::end(empty), expected.begin() + 2048);
    EXPECT_EQ(stored(), expected);
}

TEST_F(MemoFileTest, FirstSixHundredByteMemoTakesBlocksOneAndTwo) {
    EXPECT_EQ(memo_.AppendMemo(std::vector<uint8_t>(600, 'y'), true), 1u);
    EXPECT_EQ(memo_.AppendMemo(Bytes("next"), true), 3u);
}

TEST_F(MemoFileTest, MemoWithoutBlockHeaderIsStoredBare) {
    EXPECT_EQ(memo_.AppendMemo(Bytes("I"), false), 1u);
    EXPECT_EQ(memo_.next_free_block(), 2u);
    ASSERT_EQ(stored().size(), 1024u);
    EXPECT_EQ(stored()[512], 'I');
    EXPECT_EQ(stored()[513], 0);
}

TEST_F(MemoFileTest, LongestMemoIsStoredWhole) {
    // 65,535 data bytes: the size with its header no longer fits 16 bits but does fit the
    // 32-bit length, so nothing is cut or overwritten by the next memo.
    std::vector<uint8_t> data(65535);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>('a' + i % 26);
    }
    ASSERT_EQ(memo_.AppendMemo(data, true), 1u);
    EXPECT_EQ(memo_.next_free_block(), 1u + (65535 + 8 + 511) / 512);
    ASSERT_EQ(memo_.AppendMemo(Bytes("after"), true), 130u);
    ASSERT_TRUE(memo_.FinishMemoFile());
    EXPECT_EQ(LoadU32(std::span(stored()).subspan(512 + 4).first<4>(), ByteOrder::kLittle), 65543u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), stored().begin() + 520));

    std::string text;
    ASSERT_TRUE(memo_.ReadMemo(1, true, text));
    EXPECT_EQ(text.size(), kMaxMemoText);  // read back cut to the record buffer
    EXPECT_TRUE(std::equal(text.begin(), text.end(), data.begin()));
    ASSERT_TRUE(memo_.ReadMemo(130, true, text));
    EXPECT_EQ(text, "after");
}

TEST_F(MemoFileTest, CreateFailureReportsAndRetriesOnTheNextMemo) {
    files_.FailOpen(kMemoPath);
    EXPECT_EQ(memo_.AppendMemo(Bytes("lost"), true), 0u);
    EXPECT_FALSE(memo_.is_open());
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].message, "1330Could not open specified dBase memo file - ");
    EXPECT_EQ(sink_.reports[0].detail, kMemoPath);
    EXPECT_TRUE(memo_.FinishMemoFile());  // nothing open, nothing to do
    files_.FailOpen(kMemoPath, false);
    EXPECT_EQ(memo_.AppendMemo(Bytes("kept"), true), 1u);
}

TEST_F(MemoFileTest, FailedCloseIsReported) {
    ASSERT_EQ(memo_.AppendMemo(Bytes("x"), true), 1u);
    files_.FailClose(true);
    EXPECT_FALSE(memo_.FinishMemoFile());
    ASSERT_EQ(sink_.reports.size(), 1u);
    EXPECT_EQ(sink_.reports[0].message, "1300Error occurred when closing file ");
    EXPECT_EQ(sink_.reports[0].detail, kMemoPath);
    EXPECT_FALSE(memo_.is_open());
}

// Every write or seek of a memo failing in turn: the memo answers 0 with a report, never a block
// that points at missing data, and the memos stored before stay readable.
TEST_F(MemoFileTest, WriteFaultSweep) {
    for (bool sticky : {true, false}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(::testing::Message()
                         << "fault at " << n << (sticky ? " onwards" : " once"));
            MemoryFileSystem files;
            RecordingSink sink;
            MemoFile memo(files, sink);
            memo.SetMemoPath(kTablePath);
            files.FailNthWriteOrSeek(n, sticky);
            std::vector<uint32_t> blocks;
            for (const char* text : {"one", "two", "three"}) {
                blocks.push_back(memo.AppendMemo(Bytes(text), true));
            }
            const bool finished = memo.FinishMemoFile();
            if (!files.fault_tripped()) {
                EXPECT_EQ(blocks, (std::vector<uint32_t>{1, 2, 3}));
                EXPECT_TRUE(finished);
                break;
            }
            ASSERT_FALSE(sink.reports.empty());
            for (const auto& report : sink.reports) {
                EXPECT_EQ(report.message, kMsgWriteFailed);
            }
            files.FailNthWriteOrSeek(0, false);  // the disk works again for reading
            MemoFile reader(files, sink);
            reader.SetMemoPath(kTablePath);
            const char* texts[] = {"one", "two", "three"};
            for (std::size_t i = 0; i < blocks.size(); ++i) {
                if (blocks[i] != 0) {
                    std::string text;
                    ASSERT_TRUE(reader.ReadMemo(blocks[i], true, text));
                    EXPECT_EQ(text, texts[i]);
                }
            }
        }
    }
}

TEST_F(MemoFileTest, ReadingCutsToTheRecordBufferInBothStyles) {
    std::vector<uint8_t> file(512, 0);  // header with block size 0: read as 512
    std::vector<uint8_t> block = {0xFF, 0xFF, 0x08, 0x00};
    block.resize(8);
    StoreU32(std::span(block).subspan(4).first<4>(), 70000 + 8, ByteOrder::kLittle);
    file.insert(file.end(), block.begin(), block.end());
    file.insert(file.end(), 70000, 'm');
    stored() = file;
    std::string text;
    ASSERT_TRUE(memo_.ReadMemo(1, true, text));
    EXPECT_EQ(text, std::string(kMaxMemoText, 'm'));
    ASSERT_TRUE(memo_.ReadMemo(1, false, text));  // the same bytes read without block header
    ASSERT_EQ(text.size(), kMaxMemoText);
    EXPECT_EQ(text.substr(0, 3), "\xFF\xFF\x08");
    ASSERT_TRUE(memo_.Close());
}

TEST_F(MemoFileTest, EndBytesAtTheLimitAndAtTheEndOfTheFile) {
    struct Case {
        const char* what;
        std::vector<uint8_t> data;  // from block 1 to the end of the file
        std::string text;
    };
    std::vector<uint8_t> at_limit(kMaxMemoText - 1, 'z');
    at_limit.push_back(0x1A);
    at_limit.push_back('B');
    std::vector<uint8_t> pair_after_limit(kMaxMemoText, 'z');
    pair_after_limit.push_back(0x1A);
    pair_after_limit.push_back(0x1A);
    const Case cases[] = {
        {"lone end byte at the end of the file", {'A', 0x1A}, "A"},
        {"end of file without end bytes", {'A', 'B'}, "AB"},
        {"pair straight away", {0x1A, 0x1A, 'A'}, ""},
        {"end byte kept when followed by data",
         {0x1A, 'B', 0x1A, 0x1A},
         "\x1A"
         "B"},
        {"end byte as the last byte that fits", at_limit,
         std::string(kMaxMemoText - 1, 'z') + "\x1A"},
        {"pair just after the limit", pair_after_limit, std::string(kMaxMemoText, 'z')},
        {"block past the end of the file", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem files;
        RecordingSink sink;
        MemoFile memo(files, sink);
        memo.SetMemoPath(kTablePath);
        auto& file = files.Contents(kMemoPath);
        file.assign(512, 0);
        file.insert(file.end(), c.data.begin(), c.data.end());
        std::string text;
        ASSERT_TRUE(memo.ReadMemo(1, false, text));
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(MemoFileTest, DamagedMemoBlocksFailAndSayWhere) {
    struct Case {
        const char* what;
        std::vector<uint8_t> block;  // block 1 to the end of the file
        uint32_t block_size;
        const char* error_part;
    };
    const Case cases[] = {
        {"cut inside the block header", {0xFF, 0xFF, 0x08}, 512, "reading memo signature"},
        {"wrong signature", {0xFF, 0xFF, 0x08, 0x08, 9, 0, 0, 0, 'x'}, 512, "signature"},
        {"length below its header",
         {0xFF, 0xFF, 0x08, 0x00, 7, 0, 0, 0},
         512,
         "shorter than its own header"},
        {"length past the end of the file",
         {0xFF, 0xFF, 0x08, 0x00, 20, 0, 0, 0, 'a'},
         512,
         "the file ends after 1"},
        {"block size from the header",
         {0xFF, 0xFF, 0x08, 0x00, 20, 0, 0, 0, 'a'},
         64,
         "offset 0x40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem files;
        RecordingSink sink;
        MemoFile memo(files, sink);
        memo.SetMemoPath(kTablePath);
        auto& file = files.Contents(kMemoPath);
        file.assign(c.block_size, 0);
        StoreU32(std::span(file).subspan(20).first<4>(), c.block_size, ByteOrder::kLittle);
        file.insert(file.end(), c.block.begin(), c.block.end());
        std::string text = "stale";
        EXPECT_FALSE(memo.ReadMemo(1, true, text));
        EXPECT_EQ(text, "");
        EXPECT_NE(memo.last_error().find(c.error_part), std::string::npos) << memo.last_error();
        EXPECT_TRUE(sink.reports.empty());
    }
}

TEST_F(MemoFileTest, ShortHeaderReadsWithTheDefaultBlockSize) {
    stored() = {1, 0, 0};  // a file holding three bytes: no block size at all
    std::string text;
    ASSERT_TRUE(memo_.ReadMemo(1, false, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(memo_.block_size(), 512u);
}

}  // namespace
}  // namespace qx::dbase
