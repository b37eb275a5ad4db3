// qxusers: lists and changes the HotSync users of a HotSync folder, as Palm Desktop's user
// manager keeps them.

#include <charconv>
#include <cstdio>
#include <string>

#include "conduit/storage/native_file_system.h"
#include "standins/useredit/user_list.h"

namespace {

constexpr char kUsage[] =
    "usage: qxusers HOTSYNC_FOLDER list\n"
    "       qxusers HOTSYNC_FOLDER add NAME [ID]\n"
    "       qxusers HOTSYNC_FOLDER rename ID NAME\n"
    "       qxusers HOTSYNC_FOLDER remove ID\n"
    "\n"
    "The users live in Users.txt in the HotSync folder. 'add' gives the user the next free ID\n"
    "from 1001 unless ID is given, and a folder named after the user (made at once); names\n"
    "are cut to 31 characters. A removed user's folder is left in place.\n"
    "\n"
    "Exit status: 0 on success, 1 when the change cannot be made or saved, 2 on a usage error.\n";

int Usage(const char* problem) {
    if (problem != nullptr) {
        std::fprintf(stderr, "qxusers: %s\n\n", problem);
    }
    std::fputs(kUsage, problem != nullptr ? stderr : stdout);
    return 2;
}

bool ParseId(const char* text, uint32_t& id) {
    const std::string s(text);
    const auto [end, problem] = std::from_chars(s.data(), s.data() + s.size(), id);
    return problem == std::errc() && end == s.data() + s.size() && id != 0;
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "qxusers: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        return Usage(nullptr);
    }
    if (argc < 3) {
        return Usage("need a HotSync folder and an action");
    }
    const std::string folder = argv[1], action = argv[2];
    qx::NativeFileSystem files;
    qx::UserList list;
    std::string error;
    if (!list.Load(files, folder, error)) {
        return Fail(error);
    }

    if (action == "list" && argc == 3) {
        for (const qx::HotSyncUser& u : list.users()) {
            std::printf("%u\t%s\t%s\t%u\n", static_cast<unsigned>(u.id), u.name.c_str(),
                        u.directory.c_str(), static_cast<unsigned>(u.extra));
        }
        return 0;
    }
    uint32_t id = 0;
    if (action == "add" && (argc == 4 || argc == 5)) {
        if (argc == 5 && !ParseId(argv[4], id)) {
            return Usage("ID must be a number from 1");
        }
        const auto added = list.Add(argv[3], id);
        if (!added) {
            return Fail("cannot add \"" + std::string(argv[3]) +
                        "\": empty name, name or ID already in use");
        }
        std::printf("added %u\t%s\t%s\n", static_cast<unsigned>(added->id), added->name.c_str(),
                    added->directory.c_str());
    } else if (action == "rename" && argc == 5) {
        if (!ParseId(argv[3], id)) {
            return Usage("ID must be a number from 1");
        }
        if (!list.Rename(id, argv[4])) {
            return Fail("no user " + std::string(argv[3]) + ", or an unusable name");
        }
    } else if (action == "remove" && argc == 4) {
        if (!ParseId(argv[3], id)) {
            return Usage("ID must be a number from 1");
        }
        if (!list.Remove(id)) {
            return Fail("no user " + std::string(argv[3]));
        }
    } else {
        return Usage(("unknown action or wrong arguments: " + action).c_str());
    }
    if (!list.Save(files, error)) {
        return Fail("cannot save: " + error);
    }
    return 0;
}
