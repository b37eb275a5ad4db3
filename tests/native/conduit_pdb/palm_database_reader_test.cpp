#include "conduit/pdb/palm_database_reader.h"

#include <gtest/gtest.h>

#include <random>

#include "conduit/pdb/palm_database_dump.h"
#include "conduit/pdb/palm_database_writer.h"
#include "conduit/sync/sync_records.h"

namespace qx {
namespace {

PalmDatabase SampleRecords() {
    PalmDatabase db;
    db.header.name = "QXT-SE_ORDERS";
    db.header.attributes = kDbAttrBackupFlag;
    db.header.type = FourCc("DATA");
    db.header.creator = FourCc("QVXD");
    db.header.creation_date = 0xC0000001;
    db.header.unique_id_seed = 0x30;
    db.app_info = std::vector<uint8_t>{'Q', 'X', 'D', 'R', 1, 2};
    db.sort_info = std::vector<uint8_t>{7, 7, 7};
    db.records.push_back({kFileRecDirty | 3, 0x10, {1, 2, 3, 4}});
    db.records.push_back({kFileRecDeleted | kFileRecArchived, 0x20, {}});
    db.records.push_back({0, 0xFFFFFF, {5, 6}});
    return db;
}

PalmDatabase SampleResources() {
    PalmDatabase db;
    db.header.name = "Engine";
    db.header.attributes = kDbAttrResource;
    db.header.type = FourCc("appl");
    db.header.creator = FourCc("QVXE");
    db.resources.push_back({FourCc("code"), 0, {0x4E, 0x75}});
    db.resources.push_back({FourCc("tFRM"), 1000, {1, 2, 3}});
    return db;
}

std::vector<uint8_t> Encode(const PalmDatabase& db) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(EncodePalmDatabase(db, bytes, error)) << error;
    return bytes;
}

void ExpectSame(const PalmDatabase& a, const PalmDatabase& b) {
    EXPECT_EQ(a.header.name, b.header.name);
    EXPECT_EQ(a.header.attributes, b.header.attributes);
    EXPECT_EQ(a.header.creation_date, b.header.creation_date);
    EXPECT_EQ(a.header.type, b.header.type);
    EXPECT_EQ(a.header.creator, b.header.creator);
    EXPECT_EQ(a.header.unique_id_seed, b.header.unique_id_seed);
    EXPECT_EQ(a.app_info, b.app_info);
    EXPECT_EQ(a.sort_info, b.sort_info);
    ASSERT_EQ(a.records.size(), b.records.size());
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        EXPECT_EQ(a.records[i].attributes, b.records[i].attributes);
        EXPECT_EQ(a.records[i].unique_id, b.records[i].unique_id);
        EXPECT_EQ(a.records[i].data, b.records[i].data);
    }
    ASSERT_EQ(a.resources.size(), b.resources.size());
    for (std::size_t i = 0; i < a.resources.size(); ++i) {
        EXPECT_EQ(a.resources[i].type, b.resources[i].type);
        EXPECT_EQ(a.resources[i].id, b.resources[i].id);
        EXPECT_EQ(a.resources[i].data, b.resources[i].data);
    }
}

TEST(PalmDatabaseReader, RoundTripsRecordAndResourceDatabases) {
    for (const PalmDatabase& db : {SampleRecords(), SampleResources()}) {
        SCOPED_TRACE(db.header.name);
        const PalmDbReadResult read = ReadPalmDatabase(Encode(db));
        ASSERT_TRUE(read.ok) << read.error;
        ExpectSame(read.db, db);
    }
}

TEST(PalmDatabaseReader, AbsentAndEmptyBlocksStayDifferent) {
    PalmDatabase db = SampleRecords();
    db.app_info = std::vector<uint8_t>{};
    db.sort_info.reset();
    PalmDbReadResult read = ReadPalmDatabase(Encode(db));
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_TRUE(read.db.app_info.has_value());
    EXPECT_TRUE(read.db.app_info->empty());
    EXPECT_FALSE(read.db.sort_info.has_value());

    db.app_info.reset();
    db.records.clear();
    read = ReadPalmDatabase(Encode(db));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_FALSE(read.db.app_info.has_value());
}

TEST(PalmDatabaseReader, TruncationAtEachFieldSaysWhatWasCut) {
    const std::vector<uint8_t> file = Encode(SampleRecords());
    // Header 78, three entries to 102, gap to 104, app info 6, sort info 3, records 4 + 0 + 2.
    const struct {
        std::size_t length;
        const char* expected;
    } cases[] = {
        {0, "reading name (32 bytes, 0 left)"},
        {31, "reading name"},
        {32, "reading attributes"},
        {36, "reading creation date"},
        {52, "reading application info offset"},
        {60, "reading type"},
        {76, "reading number of entries"},
        {78, "record list of 3 entries at offset 0x4e needs 0x18 bytes, file ends at 0x4e"},
        {101, "file ends at 0x65"},
        {102, "application info offset 0x68 (field at offset 0x34) is past the end"},
        {109, "sort info offset 0x6e (field at offset 0x38) is past the end"},
        {112, "record 0 (entry at offset 0x4e): data offset 0x71 is past the end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const PalmDbReadResult read = ReadPalmDatabase(std::span(file).first(c.length));
        ASSERT_FALSE(read.ok);
        EXPECT_NE(read.error.find(c.expected), std::string::npos) << read.error;
    }
    // Cutting into the last record only shortens it: the file still reads.
    const PalmDbReadResult read = ReadPalmDatabase(std::span(file).first(file.size() - 1));
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.db.records[2].data, std::vector<uint8_t>{5});
}

TEST(PalmDatabaseReader, EveryCutIsAnErrorOrAShorterFile) {
    for (const PalmDatabase& db : {SampleRecords(), SampleResources()}) {
        const std::vector<uint8_t> file = Encode(db);
        for (std::size_t length = 0; length < file.size(); ++length) {
            SCOPED_TRACE(length);
            // Only the sanitizers judge this loop; a copy makes any over-read visible to them.
            const std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<long>(length));
            const PalmDbReadResult read = ReadPalmDatabase(cut);
            EXPECT_EQ(read.ok, read.error.empty());
        }
    }
}

TEST(PalmDatabaseReader, DamagedFieldsNameFieldAndOffset) {
    const std::vector<uint8_t> good = Encode(SampleRecords());
    const struct {
        const char* what;
        std::size_t at;
        std::vector<uint8_t> bytes;
        const char* expected;
    } cases[] = {
        {"name fills its field", 0, std::vector<uint8_t>(32, 'A'),
         "name at offset 0x0 has no terminating zero"},
        {"app info inside the list",
         52,
         {0, 0, 0, 0x50},
         "application info offset 0x50 (field at offset 0x34) lies before 0x66"},
        {"sort info before app info",
         56,
         {0, 0, 0, 0x67},
         "sort info offset 0x67 (field at offset 0x38) lies before 0x68"},
        {"record before sort info",
         78,
         {0, 0, 0, 0x6A},
         "record 0 (entry at offset 0x4e): data offset 0x6a lies before 0x6e"},
        {"records out of order",
         86,
         {0, 0, 0, 0x70},
         "record 1 (entry at offset 0x56): data offset 0x70 lies before 0x71"},
        {"count beyond the file",
         76,
         {0xFF, 0xFF},
         "record list of 65535 entries at offset 0x4e needs 0x7fff8 bytes"},
        {"offset far past the end",
         94,
         {0xFF, 0xFF, 0xFF, 0xFF},
         "record 2 (entry at offset 0x5e): data offset 0xffffffff is past the end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bad = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + static_cast<long>(c.at));
        const PalmDbReadResult read = ReadPalmDatabase(bad);
        ASSERT_FALSE(read.ok);
        EXPECT_NE(read.error.find(c.expected), std::string::npos) << read.error;
    }
}

TEST(PalmDatabaseReader, RandomDamageNeverCrashes) {
    std::mt19937 random(20240301);
    for (const PalmDatabase& db : {SampleRecords(), SampleResources()}) {
        const std::vector<uint8_t> good = Encode(db);
        for (int round = 0; round < 2000; ++round) {
            std::vector<uint8_t> bad = good;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < flips; ++i) {
                bad[random() % bad.size()] = static_cast<uint8_t>(random());
            }
            const PalmDbReadResult read = ReadPalmDatabase(bad);
            if (read.ok) {
                DumpPalmDatabase(read.db, &read.layout);  // a readable file must also dump
            }
            EXPECT_EQ(read.ok, read.error.empty());
        }
    }
}

TEST(PalmDatabaseWriter, RefusesWhatAFileCannotHold) {
    std::vector<uint8_t> bytes;
    std::string error;
    PalmDatabase db = SampleRecords();
    db.header.name = std::string(32, 'N');
    EXPECT_FALSE(EncodePalmDatabase(db, bytes, error));
    db = SampleRecords();
    db.records[0].unique_id = 0x1000000;
    EXPECT_FALSE(EncodePalmDatabase(db, bytes, error));
    db = SampleRecords();
    db.records.resize(65536);
    EXPECT_FALSE(EncodePalmDatabase(db, bytes, error));
}

TEST(PalmDatabaseDump, ShowsHeaderBlocksAndEntries) {
    const std::vector<uint8_t> file = Encode(SampleRecords());
    const PalmDbReadResult read = ReadPalmDatabase(file);
    ASSERT_TRUE(read.ok) << read.error;
    const std::string dump = DumpPalmDatabase(read.db, &read.layout);
    for (const char* expected : {
             "name:                \"QXT-SE_ORDERS\"",
             "attributes:          0x0008 (backup)",
             "creator:             'QVXD'",
             "application info:    6 bytes at 0x68",
             "#0 id 0x000010, attributes 0x43 (dirty), category 3, 4 bytes at 0x71",
             "#1 id 0x000020, attributes 0x88 (deleted, archived), 0 bytes",
             "000000  01 02 03 04",
         }) {
        EXPECT_NE(dump.find(expected), std::string::npos) << expected << "\n" << dump;
    }
}

}  // namespace
}  // namespace qx
