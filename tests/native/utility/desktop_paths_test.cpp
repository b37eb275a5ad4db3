#include "utility/core/desktop_paths.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace qx {
namespace {

// A prepared registry: keys with their values and ordered subkeys.
class FakeRegistry final : public RegistryView {
  public:
    FakeRegistry& Key(Hive hive, std::string path) {
        keys_[{hive, path}];
        const std::size_t slash = path.rfind('\\');
        if (slash != std::string::npos) {
            auto& parent = keys_[{hive, path.substr(0, slash)}].subkeys;
            parent.push_back(path.substr(slash + 1));
        }
        return *this;
    }
    FakeRegistry& Value(Hive hive, std::string path, std::string name, std::string data) {
        Key(hive, path);
        keys_[{hive, path}].values[name] = std::move(data);
        return *this;
    }

    bool KeyExists(Hive hive, std::string_view path) const override {
        return keys_.count({hive, std::string(path)}) != 0;
    }
    std::optional<std::string> ReadValue(Hive hive, std::string_view path,
                                         std::string_view name) const override {
        const auto key = keys_.find({hive, std::string(path)});
        if (key == keys_.end()) {
            return std::nullopt;
        }
        const auto value = key->second.values.find(std::string(name));
        if (value == key->second.values.end() || value->second.size() + 1 > kRegistryBufferSize) {
            return std::nullopt;
        }
        return value->second;
    }
    std::optional<std::string> SubkeyName(Hive hive, std::string_view path,
                                          uint32_t index) const override {
        const auto key = keys_.find({hive, std::string(path)});
        if (key == keys_.end() || index >= key->second.subkeys.size()) {
            return std::nullopt;
        }
        return key->second.subkeys[index];
    }

  private:
    struct Node {
        std::map<std::string, std::string> values;
        std::vector<std::string> subkeys;
    };
    std::map<std::pair<Hive, std::string>, Node> keys_;
};

constexpr Hive kUser = Hive::kCurrentUser;
constexpr Hive kMachine = Hive::kLocalMachine;

TEST(DesktopPaths, NothingInstalledLeavesEverythingEmpty) {
    const DesktopPaths paths = LookUpDesktopPaths(FakeRegistry());
    EXPECT_EQ(paths.product_dir, "");
    EXPECT_EQ(paths.palm_user_key, "");
    EXPECT_EQ(paths.palm_machine_key, "");
    EXPECT_EQ(paths.hotsync_dir, "");
    EXPECT_EQ(paths.hotsync_version, 0u);
}

TEST(DesktopPaths, SecondGenerationAlone) {
    FakeRegistry reg;
    reg.Value(kUser, "Software\\Palm Computing\\Pilot Desktop\\Core", "Path", "C:\\Palm")
        .Key(kMachine, "SOFTWARE\\Palm Computing\\Pilot Desktop\\4.1");
    const DesktopPaths paths = LookUpDesktopPaths(reg);
    EXPECT_EQ(paths.palm_user_key, "Software\\Palm Computing\\Pilot Desktop");
    EXPECT_EQ(paths.palm_user_key.size(), 37u);
    EXPECT_EQ(paths.hotsync_dir, "C:\\Palm");
    EXPECT_EQ(paths.hotsync_version, 0x40001u);
}

TEST(DesktopPaths, UserKeyChoosesTheGenerationEvenForTheVersion) {
    FakeRegistry reg;
    reg.Value(kUser, "Software\\U.S. Robotics\\Pilot Desktop\\Core", "Path", "C:\\PILOT\\")
        .Key(kUser, "Software\\Palm Computing\\Pilot Desktop")
        .Key(kMachine, "SOFTWARE\\U.S. Robotics\\PalmPilot Desktop\\2.0")
        .Key(kMachine, "SOFTWARE\\Palm Computing\\Pilot Desktop\\9.0");
    const DesktopPaths paths = LookUpDesktopPaths(reg);
    EXPECT_EQ(paths.palm_user_key, "Software\\U.S. Robotics\\Pilot Desktop");
    EXPECT_EQ(paths.palm_machine_key, "SOFTWARE\\U.S. Robotics\\PalmPilot Desktop");
    EXPECT_EQ(paths.hotsync_dir, "C:\\PILOT\\");  // kept as stored
    EXPECT_EQ(paths.hotsync_version, 0x20000u);
}

TEST(DesktopPaths, HighestVersionSubkeyWins) {
    const struct {
        std::vector<std::string> subkeys;
        uint32_t version;
    } cases[] = {
        {{"1.0", "2.0", "3.0", "HotSync"}, 0x30000},
        {{"2.10", "2.9"}, 0x2000A},
        {{"2.9", "2.10"}, 0x2000A},
        {{"-1.5", "4.0"}, 0xFFFF0005},
        {{" 3.1beta", "x3.5", "3", "3.", ".5"}, 0x30001},
        {{"HotSync", "Core"}, 0},
        {{"70000.2"}, (70000u & 0xFFFF) << 16 | 2},
    };
    for (const auto& c : cases) {
        FakeRegistry reg;
        reg.Key(kUser, "Software\\Palm Computing\\Pilot Desktop");
        std::string names;
        for (const auto& name : c.subkeys) {
            reg.Key(kMachine, "SOFTWARE\\Palm Computing\\Pilot Desktop\\" + name);
            names += name + ",";
        }
        SCOPED_TRACE(names);
        EXPECT_EQ(LookUpDesktopPaths(reg).hotsync_version, c.version);
    }
}

TEST(DesktopPaths, VersionNamesReadLikeScanf) {
    const struct {
        const char* name;
        std::optional<uint32_t> version;
    } cases[] = {
        {"4.0", 0x40000},      {"  4.2", 0x40002},     {"4. 2", 0x40002},
        {"+4.-1", 0x4FFFF},    {"4 .2", std::nullopt}, {"4", std::nullopt},
        {"a.1", std::nullopt}, {"4.x", std::nullopt},  {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseVersionName(c.name), c.version);
    }
}

TEST(DesktopPaths, ProductDirectoryFollowsKeyname) {
    FakeRegistry reg;
    reg.Value(kMachine, "SOFTWARE\\Tarvel\\Quorvix Standard\\CurrentVersion", "Keyname", "3.0")
        .Value(kMachine, "SOFTWARE\\Tarvel\\Quorvix Standard\\3.0", "Path", "C:\\Quorvix");
    EXPECT_EQ(LookUpDesktopPaths(reg).product_dir, "C:\\Quorvix");

    FakeRegistry too_long;
    too_long.Value(kMachine, "SOFTWARE\\Tarvel\\Quorvix Standard\\CurrentVersion", "Keyname", "3.0")
        .Value(kMachine, "SOFTWARE\\Tarvel\\Quorvix Standard\\3.0", "Path", std::string(300, 'p'));
    EXPECT_EQ(LookUpDesktopPaths(too_long).product_dir, "");

    FakeRegistry no_keyname;
    no_keyname.Value(kMachine, "SOFTWARE\\Tarvel\\Quorvix Standard\\3.0", "Path", "C:\\Q");
    EXPECT_EQ(LookUpDesktopPaths(no_keyname).product_dir, "");
}

TEST(DesktopPaths, MissingCoreLeavesDirectoryEmptyButKeepsTheRest) {
    FakeRegistry reg;
    reg.Key(kUser, "Software\\Palm Computing\\Pilot Desktop")
        .Key(kMachine, "SOFTWARE\\Palm Computing\\Pilot Desktop\\3.0");
    const DesktopPaths paths = LookUpDesktopPaths(reg);
    EXPECT_EQ(paths.hotsync_dir, "");
    EXPECT_EQ(paths.palm_user_key, "Software\\Palm Computing\\Pilot Desktop");
    EXPECT_EQ(paths.hotsync_version, 0x30000u);
}

}  // namespace
}  // namespace qx
