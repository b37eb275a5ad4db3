#include "conduit/app/app_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "conduit/app/app_messages.h"
#include "conduit/handheld_db/handheld_db.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/storage/native_file_system.h"
#include "tests/native/app/handheld_bytes.h"
#include "tests/native/conduit_sync/recording_doubles.h"
#include "tools/qxpda/pda_writer.h"

namespace qx {
namespace {

using pda::PdaControl;
using pda::PdaHeader;
using pda::PdaWriter;
using testing::HandheldBytes;

// A SyncOps that keeps what the transfer sends and fails the slots a test names.
struct ScriptedOps final : SyncOps {
    bool database_exists = false;
    bool fail_create = false;
    bool fail_app_info = false;
    int fail_record = -1;  // index of the WriteRec call that fails

    std::vector<std::string> calls;
    CreateDbRequest request;
    std::optional<std::vector<uint8_t>> app_info;
    std::vector<std::vector<uint8_t>> records;
    int write_calls = 0;

    SyncResult OpenDB(std::string_view name, uint8_t, uint8_t& handle, uint8_t) override {
        calls.push_back("open " + std::string(name));
        handle = 3;
        return database_exists ? kSyncOk : kSyncErrNotFound;
    }
    SyncResult DeleteDB(std::string_view name, uint8_t) override {
        calls.push_back("delete " + std::string(name));
        return kSyncOk;
    }
    SyncResult CreateDB(CreateDbRequest& r) override {
        calls.push_back("create " + std::string(FieldName(r.name)));
        request = r;
        r.handle = 7;
        return fail_create ? kSyncErrStorage : kSyncOk;
    }
    SyncResult CloseDB(uint8_t handle) override {
        calls.push_back("close " + std::to_string(handle));
        return kSyncOk;
    }
    SyncResult WriteRec(RecordDescriptor& d) override {
        calls.push_back("record " + std::to_string(d.handle));
        if (write_calls++ == fail_record) {
            return kSyncErrStorage;
        }
        records.emplace_back(d.bytes, d.bytes + d.record_size);
        return kSyncOk;
    }
    SyncResult WriteDBAppInfoBlock(uint8_t handle, BlockDescriptor& b) override {
        calls.push_back("app info " + std::to_string(handle));
        if (fail_app_info) {
            return kSyncErrStorage;
        }
        app_info.emplace(b.bytes, b.bytes + b.byte_count);
        return kSyncOk;
    }
    SyncResult ReadUserID(HandheldUserRecord&) override { return kSyncErrNotImplemented; }
    SyncResult ResetSyncFlags(uint8_t) override { return kSyncErrNotImplemented; }
    SyncResult GetDBRecordCount(uint8_t, uint16_t&) override { return kSyncErrNotImplemented; }
    SyncResult PurgeDeletedRecs(uint8_t) override { return kSyncErrNotImplemented; }
    SyncResult ReadDBAppInfoBlock(uint8_t, BlockDescriptor&) override {
        return kSyncErrNotImplemented;
    }
    SyncResult ReadRecordByIndex(RecordDescriptor&) override { return kSyncErrNotImplemented; }
    SyncResult YieldCycles(uint16_t) override { return kSyncOk; }
};

// Three forms: plain controls in the first two, `third` as the third form's only control.
PdaWriter ThreeForms(PdaControl third) {
    PdaHeader h;
    h.name = "Sales";
    h.form_count = 3;
    PdaWriter w(54);
    w.Header(h);
    w.Form({.word1 = 1, .control_count = 1}).Control({.type = 2});
    w.Form({.word1 = 2, .control_count = 1}).Control({.type = 16});
    w.Form({.word1 = 3, .control_count = 1}).Control(third);
    return w;
}

HandheldBytes FormWithPlainControl(uint16_t word1, uint16_t type) {
    HandheldBytes b;
    b.Text("FORM").U16(0).U16(1).U16(1).U16(word1).U16(0).U16(0).U16(34).Zeros(16);
    b.Text("CTRL").U16(36).U16(36).U16(type).Zeros(26);
    return b;
}

class AppTransferTest : public ::testing::Test {
  protected:
    std::string Save(const std::string& file_name, const std::vector<uint8_t>& bytes) {
        const auto path = scratch_.path() / file_name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    int Transfer(SyncOps& ops, const std::string& path, uint32_t flags = 0) {
        return TransferApplication({ops, log_, errors_, buffer_}, path, FourCc("QVXA"), flags);
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> m;
        for (const auto& r : errors_.reports) {
            m.push_back(r.message + "|" + r.detail.value_or("<none>"));
        }
        return m;
    }

    testing::ScratchFolder scratch_;
    testing::RecordingLog log_;
    testing::RecordingErrors errors_;
    RecordBuffer buffer_;
};

TEST_F(AppTransferTest, WritesInfoBlockAndOneRecordPerForm) {
    const std::string path = Save("field sales.pda", ThreeForms({.type = 2}).bytes());
    for (uint32_t flags : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE(flags);
        ScriptedOps ops;
        ASSERT_EQ(Transfer(ops, path, flags), 1);
        EXPECT_TRUE(errors_.reports.empty());
        EXPECT_TRUE(log_.lines.empty());
        EXPECT_EQ(FieldName(ops.request.name), "QX-SE_FIELD_SALES");
        EXPECT_EQ(ops.request.creator, FourCc("QVXA"));
        EXPECT_EQ(ops.request.type, FourCc("FORM"));
        EXPECT_EQ(ops.request.flags, (flags & 1) ? kDbAttrBackup : 0u);
        const std::vector<std::string> calls = {"open QX-SE_FIELD_SALES",
                                                "create QX-SE_FIELD_SALES",
                                                "app info 7",
                                                "record 7",
                                                "record 7",
                                                "record 7",
                                                "close 7"};
        EXPECT_EQ(ops.calls, calls);
        HandheldBytes info;
        info.Text("QXAD").Zeros(4).Field("Sales", 32).U16(0x0210).U16(0).U16(3).Zeros(44);
        ASSERT_TRUE(ops.app_info.has_value());
        EXPECT_EQ(*ops.app_info, info.bytes());
        ASSERT_EQ(ops.records.size(), 3u);
        EXPECT_EQ(ops.records[0], FormWithPlainControl(1, 2).bytes());
        EXPECT_EQ(ops.records[1], FormWithPlainControl(2, 16).bytes());
        EXPECT_EQ(ops.records[2], FormWithPlainControl(3, 2).bytes());
    }
}

TEST_F(AppTransferTest, ReplacesAnExistingDatabase) {
    ScriptedOps ops;
    ops.database_exists = true;
    ASSERT_EQ(Transfer(ops, Save("a.pda", ThreeForms({.type = 2}).bytes())), 1);
    ASSERT_GE(ops.calls.size(), 4u);
    EXPECT_EQ(
        std::vector<std::string>(ops.calls.begin(), ops.calls.begin() + 4),
        (std::vector<std::string>{"open QX-SE_A", "close 3", "delete QX-SE_A", "create QX-SE_A"}));
}

TEST_F(AppTransferTest, FailuresAreReportedLoggedAndCleanedUp) {
    const std::string missing = (scratch_.path() / "none.pda").string();
    const std::string wrong = Save("wrong.pda", PdaWriter(54).Raw("QXAE").Long(53).bytes());
    const std::string old = Save("old.pda", PdaWriter(53).Raw("QXAD").Long(53).bytes());
    const std::string good = Save("good.pda", ThreeForms({.type = 2}).bytes());
    const std::string bad_type = Save("bad.pda", ThreeForms({.type = 18}).bytes());
    auto cut_bytes = ThreeForms({.type = 2}).bytes();
    cut_bytes.resize(cut_bytes.size() - 5);
    const std::string cut = Save("cut.pda", cut_bytes);
    auto header_only = PdaWriter(54);
    header_only.Raw("QXAD").Long(54).Long(0).String("x");
    const std::string short_header = Save("short.pda", header_only.bytes());

    const struct {
        const char* name;
        std::string path;
        void (*arrange)(ScriptedOps&);
        std::vector<std::string> messages;
        std::string db_in_log;
        std::size_t records;
        bool created;
    } cases[] = {
        {"missing file",
         missing,
         [](ScriptedOps&) {},
         {std::string(kMsgCannotOpenApp) + "|" + missing},
         "",
         0,
         false},
        {"wrong signature",
         wrong,
         [](ScriptedOps&) {},
         {std::string(kMsgNotApplicationFile) + "|" + wrong},
         "",
         0,
         false},
        {"version 53",
         old,
         [](ScriptedOps&) {},
         {std::string(kMsgIncompatibleVersion) + "|" + old},
         "",
         0,
         false},
        {"create fails",
         good,
         [](ScriptedOps& o) { o.fail_create = true; },
         {std::string(kMsgCannotCreateOnHandheld) + "|QX-SE_GOOD"},
         "QX-SE_GOOD",
         0,
         true},
        {"header cut short",
         short_header,
         [](ScriptedOps&) {},
         {std::string(kMsgAppFileCorrupted) + "|<none>"},
         "QX-SE_SHORT",
         0,
         true},
        {"info block refused",
         good,
         [](ScriptedOps& o) { o.fail_app_info = true; },
         {std::string(kMsgCannotWriteAppInfo) + "|<none>"},
         "QX-SE_GOOD",
         0,
         true},
        {"second record refused",
         good,
         [](ScriptedOps& o) { o.fail_record = 1; },
         {std::string(kMsgCannotCopyForm) + "|<none>"},
         "QX-SE_GOOD",
         1,
         true},
        {"control type 18 in the third form",
         bad_type,
         [](ScriptedOps&) {},
         {std::string(kMsgCannotCopyForm) + "|<none>"},
         "QX-SE_BAD",
         2,
         true},
        {"file ends inside the third form",
         cut,
         [](ScriptedOps&) {},
         {std::string(kMsgAppFileCorrupted) + "|<none>"},
         "QX-SE_CUT",
         2,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        errors_.reports.clear();
        log_.lines.clear();
        ScriptedOps ops;
        c.arrange(ops);
        EXPECT_EQ(Transfer(ops, c.path), 0);
        EXPECT_EQ(Messages(), c.messages);
        ASSERT_EQ(log_.lines.size(), 1u);
        EXPECT_EQ(log_.lines[0].text, "Copy app \"" + c.db_in_log + "\" to Handheld - FAILED");
        EXPECT_EQ(log_.lines[0].activity, kLogActivityText);
        EXPECT_EQ(ops.records.size(), c.records);
        const bool created = std::any_of(ops.calls.begin(), ops.calls.end(), [](const auto& call) {
            return call.starts_with("create ");
        });
        EXPECT_EQ(created, c.created);
        // A database that was created is always closed again, after everything written to it.
        if (c.created && !ops.fail_create) {
            EXPECT_EQ(ops.calls.back(), "close 7");
        }
    }
}

TEST_F(AppTransferTest, WritesAPdbFileInPdbMode) {
    NativeFileSystem files;
    FixedPalmClock clock({1709294400, 0, false});
    const std::string path = Save("route.pda", ThreeForms({.type = 16}).bytes());
    PdbFileOps ops(files, clock, log_, [&] { return path; });
    ASSERT_EQ(Transfer(ops, path, 1), 1);
    std::vector<uint8_t> pdb;
    std::string error;
    ASSERT_TRUE(files.ReadFile(scratch_.path() / "QX-SE_ROUTE.pdb", pdb, error)) << error;
    const PalmDbReadResult read = ReadPalmDatabase(pdb);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.db.header.name, "QX-SE_ROUTE");
    EXPECT_EQ(read.db.header.type, FourCc("FORM"));
    EXPECT_EQ(read.db.header.creator, FourCc("QVXA"));
    EXPECT_EQ(read.db.header.attributes, kDbAttrBackup);
    ASSERT_TRUE(read.db.app_info.has_value());
    EXPECT_EQ(read.db.app_info->size(), 90u);
    ASSERT_EQ(read.db.records.size(), 3u);
    EXPECT_EQ(read.db.records[2].data, FormWithPlainControl(3, 16).bytes());
}

}  // namespace
}  // namespace qx
