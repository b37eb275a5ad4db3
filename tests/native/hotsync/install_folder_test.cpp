#include "standins/hotsync/install_folder.h"

#include <gtest/gtest.h>

#include "common/creator_id.h"
#include "conduit/pdb/palm_database_writer.h"
#include "conduit/storage/native_file_system.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx {
namespace {

const FixedPalmClock kClock({1709294400, 0, false});

std::vector<uint8_t> Encoded(const PalmDatabase& db) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(EncodePalmDatabase(db, bytes, error)) << error;
    return bytes;
}

PalmDatabase Program(const std::string& name) {
    PalmDatabase db;
    db.header.name = name;
    db.header.attributes = kDbAttrResource;
    db.header.type = FourCc("appl");
    db.header.creator = FourCc("QVXE");
    db.resources.push_back({FourCc("code"), 1, {0x4E, 0x75}});
    return db;
}

PalmDatabase Table(const std::string& name) {
    PalmDatabase db;
    db.header.name = name;
    db.header.type = FourCc("DATA");
    db.header.creator = FourCc("QVXD");
    db.records.push_back({0, 0x000101, {1, 2, 3}});
    return db;
}

class InstallFolder : public ::testing::Test {
  protected:
    InstallFolder() {
        std::string error;
        EXPECT_EQ(HandheldDevice::Create(files_, root() / "Cradle", "Pat Doe", 1001, error),
                  kSyncOk)
            << error;
        device_ = HandheldDevice::Open(files_, kClock, root() / "Cradle", error);
        EXPECT_NE(device_, nullptr) << error;
        std::filesystem::create_directories(install());
    }
    std::filesystem::path root() const { return scratch_.path(); }
    std::filesystem::path install() const { return root() / "PatDoe" / "Install"; }
    void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string error;
        ASSERT_TRUE(files_.WriteFileAtomic(install() / name, bytes, error)) << error;
    }
    std::vector<std::string> Waiting() {
        std::vector<std::string> names;
        std::string error;
        EXPECT_TRUE(files_.ListFiles(install(), names, error)) << error;
        std::sort(names.begin(), names.end());
        return names;
    }

    testing::ScratchFolder scratch_;
    NativeFileSystem files_;
    std::unique_ptr<HandheldDevice> device_;
};

TEST_F(InstallFolder, StoresPalmFilesAndEmptiesTheFolder) {
    Put("Engine.prc", Encoded(Program("QX-SE Engine")));
    Put("ORDERS.PDB", Encoded(Table("Orders")));
    const InstallOutcome outcome = InstallWaitingFiles(files_, *device_, install());
    EXPECT_TRUE(outcome.AllInstalled());
    EXPECT_EQ(outcome.installed, (std::vector<std::string>{"Engine.prc as \"QX-SE Engine\"",
                                                           "ORDERS.PDB as \"Orders\""}));
    EXPECT_TRUE(Waiting().empty());
    EXPECT_EQ(device_->ListDatabases(), (std::vector<std::string>{"Orders", "QX-SE Engine"}));
    PalmDatabase stored;
    std::string error;
    ASSERT_EQ(device_->LoadDatabase("QX-SE Engine", stored, error), kSyncOk) << error;
    ASSERT_EQ(stored.resources.size(), 1u);
    EXPECT_EQ(stored.resources[0].data, (std::vector<uint8_t>{0x4E, 0x75}));
}

TEST_F(InstallFolder, DamagedAndForeignFilesStay) {
    std::vector<uint8_t> cut = Encoded(Table("Cut"));
    cut.resize(40);  // inside the header
    Put("Cut.pdb", cut);
    Put("README.txt", {'h', 'i'});
    Put("Good.prc", Encoded(Program("Good")));
    const InstallOutcome outcome = InstallWaitingFiles(files_, *device_, install());
    EXPECT_FALSE(outcome.AllInstalled());
    EXPECT_EQ(outcome.installed, (std::vector<std::string>{"Good.prc as \"Good\""}));
    ASSERT_EQ(outcome.failed.size(), 1u);
    EXPECT_EQ(outcome.failed[0].rfind("Cut.pdb: not a Palm database: ", 0), 0u)
        << outcome.failed[0];
    EXPECT_EQ(outcome.ignored, (std::vector<std::string>{"README.txt"}));
    EXPECT_EQ(Waiting(), (std::vector<std::string>{"Cut.pdb", "README.txt"}));
    EXPECT_FALSE(device_->Exists("Cut"));
}

TEST_F(InstallFolder, ReplacesADatabaseOfTheSameName) {
    PalmDatabase first = Table("Orders");
    Put("a.pdb", Encoded(first));
    ASSERT_TRUE(InstallWaitingFiles(files_, *device_, install()).AllInstalled());
    PalmDatabase second = Table("Orders");
    second.records[0].data = {9};
    Put("b.pdb", Encoded(second));
    ASSERT_TRUE(InstallWaitingFiles(files_, *device_, install()).AllInstalled());
    PalmDatabase stored;
    std::string error;
    ASSERT_EQ(device_->LoadDatabase("Orders", stored, error), kSyncOk) << error;
    ASSERT_EQ(stored.records.size(), 1u);
    EXPECT_EQ(stored.records[0].data, (std::vector<uint8_t>{9}));
}

TEST_F(InstallFolder, MissingFolderInstallsNothing) {
    const InstallOutcome outcome =
        InstallWaitingFiles(files_, *device_, root() / "Nobody" / "Install");
    EXPECT_TRUE(outcome.AllInstalled());
    EXPECT_TRUE(outcome.installed.empty());
    EXPECT_TRUE(outcome.ignored.empty());
}

TEST(InstallFlag, NamesAndInstallableFiles) {
    EXPECT_EQ(InstallFlagName(1001), "Install1001");
    EXPECT_EQ(InstallFlagName(0xFFFFFFFF), "Install-1");  // signed, as the flag's writer formats it
    const struct {
        const char* name;
        bool installable;
    } cases[] = {{"a.prc", true},  {"A.PRC", true}, {"b.Pdb", true},      {".pdb", true},
                 {"c.pqa", false}, {"prc", false},  {"d.prc.txt", false}, {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsInstallableName(c.name), c.installable);
    }
}

}  // namespace
}  // namespace qx
