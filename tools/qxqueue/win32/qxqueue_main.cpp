// qxqueue: works the shared command queue from the command line, through Lutrix exactly as a
// deploying program does.

#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/creator_id.h"
#include "utility/core/command_queue.h"
#include "utility/core/stored_string.h"
#include "utility/win32/lutrix_binding.h"
#include "utility/win32/shared_section_view.h"

namespace {

constexpr char kUsage[] =
    "usage: qxqueue [--dll PATH] ACTION...\n"
    "\n"
    "Loads Lutrix (Lutrix.dll from the usual search, or PATH) and runs the actions from left to\n"
    "right. Commands queued here are kept only while some program has Lutrix loaded: use 'hold' "
    "to\n"
    "keep this one running until another program has taken them.\n"
    "\n"
    "actions:\n"
    "  add TYPE FILE [PARAM1 [PARAM2]]  queue a command (TYPE 1-9; FILE '-' passes no file name;\n"
    "                                   PARAM1 a number or a four-character creator like QVXD)\n"
    "  take                             take the oldest command and print it\n"
    "  take-all                         take and print every queued command, oldest first\n"
    "  show                             print the shared state and the queued commands, changing\n"
    "                                   nothing\n"
    "  wait-flag N                      set the wait counter to N\n"
    "  inc | dec                        increment or decrement the wait counter atomically\n"
    "  hammer N                         N increments each followed by a decrement\n"
    "  hold                             keep Lutrix loaded until a line or end of input arrives\n"
    "\n"
    "  flush [CAPTION [CREATOR]]        wait in the HotSync wait dialog (CAPTION '-' keeps the\n"
    "                                   default) and print its result: 0 all commands succeeded,\n"
    "                                   1 one failed, 2 aborted\n"
    "  notify CODE VALUE                broadcast a progress notification as the conduit does\n"
    "                                   (1 started, 3 command done, 2 finished), then wait while\n"
    "                                   a listener holds the wait counter\n"
    "  set-creator CREATOR              set the creator ID of the synchronisation\n"
    "  set-hotsync-user ID              set the HotSync ID of the user being synchronised\n"
    "\n"
    "  install ID FILE                  hand FILE to HotSync's install folder of user ID\n"
    "  pending ID                       tell whether files wait in that user's install folder\n"
    "  users                            list the HotSync users\n"
    "  add-user NAME                    add a user (held until commit)\n"
    "  commit | abandon                 save or drop the user changes of this program\n"
    "  maintenance                      show the user maintenance dialog\n"
    "\n"
    "Lutrix shows its own message box for a command it rejects. Exit status: 0 when every action\n"
    "succeeded, 1 when a command was rejected or the queue was full or empty, 2 on a usage error "
    "or\n"
    "when Lutrix cannot be loaded.\n";

void Say(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);  // readers follow the output line by line while this program waits
}

bool ParseNumber(const char* text, uint32_t& value) {
    char* end = nullptr;
    const long long parsed = std::strtoll(text, &end, 0);
    if (end == text || *end != '\0' || parsed < INT32_MIN || parsed > UINT32_MAX) {
        return false;
    }
    value = static_cast<uint32_t>(parsed);
    return true;
}

bool IsAction(const std::string& word) {
    for (const char* action :
         {"add", "take", "take-all", "show", "wait-flag", "inc", "dec", "hammer", "hold"}) {
        if (word == action) {
            return true;
        }
    }
    return false;
}

bool ParseParam(const char* text, uint32_t& value) {
    if (ParseNumber(text, value)) {
        return true;
    }
    if (std::strlen(text) == 4 && !IsAction(text)) {
        value = qx::FourCc({text[0], text[1], text[2], text[3], '\0'});
        return true;
    }
    return false;
}

std::string CreatorText(uint32_t creator) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(creator));
    std::string out = text;
    bool printable = true;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto c = static_cast<uint8_t>(creator >> shift);
        printable = printable && c >= 0x20 && c < 0x7F;
    }
    if (printable) {
        out += " '" + qx::FourCcText(creator) + "'";
    }
    return out;
}

void PrintEntry(int number, int32_t type, const std::string& name, uint32_t p1, uint32_t p2) {
    Say("#%d type %d (%s) param1 %s param2 0x%X name \"%s\"\n", number, type,
        qx::CommandTypeName(type), CreatorText(p1).c_str(), static_cast<unsigned>(p2),
        name.c_str());
}

bool TakeOne(const qx::LutrixBinding& lutrix, int number) {
    int32_t type = 0;
    char name[1040];
    uint32_t p1 = 0, p2 = 0;
    if (!lutrix.QX_GetNextCommandEx(&type, name, sizeof name, &p1, &p2)) {
        return false;
    }
    PrintEntry(number, type, std::string(name, qx::BoundedLength(name, sizeof name)), p1, p2);
    return true;
}

void Show(const qx::LutrixBinding& lutrix) {
    const qx::SharedSection* section = qx::FindSharedSection(lutrix.module);
    if (section == nullptr) {
        Say("this Lutrix has no shared section\n");
        return;
    }
    const qx::SharedState& s = section->state;
    Say("registered message  0x%04X\n", s.registered_message);
    Say("user name           \"%s\"\n",
        std::string(qx::FieldText(s.user_name, qx::kNameFieldSize)).c_str());
    Say("user ID             %u\n", static_cast<unsigned>(s.user_id));
    Say("command type        %d (%s)\n", s.command_type, qx::CommandTypeName(s.command_type));
    Say("command file name   \"%s\"\n",
        std::string(qx::FieldText(s.command_file_name, qx::kNameFieldSize)).c_str());
    Say("wait counter        %d\n", s.wait_counter);
    Say("creator ID          %s\n", CreatorText(s.creator_id).c_str());
    Say("HotSync user ID     %u\n", static_cast<unsigned>(s.hotsync_user_id));
    Say("read index          %d\n", s.read_index);
    Say("write index         %d\n", s.write_index);
    const int32_t count = qx::QueuedCount(s);
    Say("queued commands     %d\n", count);
    for (int32_t i = 0; i < count; ++i) {
        const qx::CommandEntry& e = s.entries[(s.read_index + i) & qx::kQueueIndexMask];
        PrintEntry(i + 1, e.type, std::string(qx::FieldText(e.file_name, qx::kNameFieldSize)),
                   e.param1, e.param2);
    }
}

// The conduit's side of a notification: clear the wait counter, tell every top-level window, then
// wait while some listener holds the counter.
int Notify(const qx::LutrixBinding& lutrix, uint32_t code, uint32_t value) {
    lutrix.QX_SetWaitFlag(0);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(HWND_BROADCAST, lutrix.QX_GetRegisteredMsg(), code, value,
                        SMTO_ABORTIFHUNG | SMTO_NORMAL, 5000, &answer);
    int held = 0;
    while (lutrix.QX_GetWaitFlag() != 0) {
        ++held;
        Sleep(500);
    }
    return held;
}

void PrintUser(const qx::UserRecord& user) {
    Say("user %u \"%s\" folder \"%s\" extra %u\n", static_cast<unsigned>(user.user_id),
        std::string(qx::FieldText(user.user_name, sizeof user.user_name)).c_str(),
        std::string(qx::FieldText(user.directory_name, sizeof user.directory_name)).c_str(),
        static_cast<unsigned>(user.extra));
}

void ListUsers(const qx::LutrixBinding& lutrix) {
    qx::UserRecord user{};
    int32_t error = 0;
    int count = 0;
    for (int32_t found = lutrix.QX_FindFirstUser(&user, &error); found != 0;
         found = lutrix.QX_FindNextUser(&user, &error)) {
        PrintUser(user);
        ++count;
    }
    Say("%d users\n", count);
}

void Hold() {
    Say("holding: Lutrix stays loaded until a line or end of input\n");
    char line[256];
    (void)std::fgets(line, sizeof line, stdin);
    Say("released\n");
}

int Usage(const char* problem) {
    if (problem != nullptr) {
        std::fprintf(stderr, "qxqueue: %s\n\n", problem);
    }
    std::fputs(kUsage, problem != nullptr ? stderr : stdout);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string dll = "Lutrix.dll";
    if (args.empty()) {
        return Usage("no action given");
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "/?") {
        return Usage(nullptr);
    }
    std::size_t i = 0;
    if (args[0] == "--dll") {
        if (args.size() < 3) {
            return Usage("--dll needs a path and at least one action");
        }
        dll = args[1];
        i = 2;
    }

    qx::LutrixBinding lutrix;
    std::string error;
    if (!qx::LoadLutrix(dll.c_str(), lutrix, error)) {
        std::fprintf(stderr, "qxqueue: %s\n", error.c_str());
        return 2;
    }

    int status = 0;
    while (i < args.size()) {
        const std::string action = args[i++];
        if (action == "add") {
            if (i + 2 > args.size()) {
                return Usage("add needs TYPE and FILE");
            }
            uint32_t type = 0, p1 = 0, p2 = 0;
            if (!ParseNumber(args[i].c_str(), type)) {
                return Usage(("not a command type: " + args[i]).c_str());
            }
            const std::string file = args[i + 1];
            i += 2;
            if (i < args.size() && ParseParam(args[i].c_str(), p1)) {
                ++i;
                if (i < args.size() && ParseNumber(args[i].c_str(), p2)) {
                    ++i;
                }
            }
            const char* name = file == "-" ? nullptr : file.c_str();
            const int32_t added =
                lutrix.QX_AddToCommandQueueEx(static_cast<int32_t>(type), name, p1, p2);
            Say(added ? "queued type %d\n" : "rejected type %d (invalid command or full queue)\n",
                static_cast<int32_t>(type));
            if (!added) {
                status = 1;
            }
        } else if (action == "take") {
            if (!TakeOne(lutrix, 1)) {
                Say("queue empty\n");
                status = 1;
            }
        } else if (action == "take-all") {
            int taken = 0;
            while (TakeOne(lutrix, taken + 1)) {
                ++taken;
            }
            Say("took %d\n", taken);
        } else if (action == "show") {
            Show(lutrix);
        } else if (action == "wait-flag") {
            uint32_t value = 0;
            if (i >= args.size() || !ParseNumber(args[i].c_str(), value)) {
                return Usage("wait-flag needs a number");
            }
            ++i;
            Say("wait counter %d\n", lutrix.QX_SetWaitFlag(static_cast<int32_t>(value)));
        } else if (action == "inc") {
            Say("wait counter %d\n", lutrix.QX_IncWaitFlag());
        } else if (action == "dec") {
            Say("wait counter %d\n", lutrix.QX_DecWaitFlag());
        } else if (action == "hammer") {
            uint32_t rounds = 0;
            if (i >= args.size() || !ParseNumber(args[i].c_str(), rounds)) {
                return Usage("hammer needs a count");
            }
            ++i;
            for (uint32_t n = 0; n < rounds; ++n) {
                lutrix.QX_IncWaitFlag();
                lutrix.QX_DecWaitFlag();
            }
            Say("hammered %u\n", static_cast<unsigned>(rounds));
        } else if (action == "hold") {
            Hold();
        } else if (action == "flush") {
            std::string caption = "-";
            uint32_t creator = 0;
            if (i < args.size() && !IsAction(args[i])) {
                caption = args[i++];
                if (i < args.size() && ParseParam(args[i].c_str(), creator)) {
                    ++i;
                }
            }
            Say("waiting in the HotSync wait dialog\n");
            const int32_t result =
                lutrix.QX_FlushCommandQueueEx(caption == "-" ? nullptr : caption.c_str(), creator);
            Say("flush result %d\n", result);
        } else if (action == "notify") {
            uint32_t code = 0, value = 0;
            if (i + 2 > args.size() || !ParseNumber(args[i].c_str(), code) ||
                !ParseNumber(args[i + 1].c_str(), value)) {
                return Usage("notify needs CODE and VALUE");
            }
            i += 2;
            Say("notified %u %u, held %d times\n", static_cast<unsigned>(code),
                static_cast<unsigned>(value), Notify(lutrix, code, value));
        } else if (action == "set-creator" || action == "set-hotsync-user") {
            uint32_t value = 0;
            if (i >= args.size() || !ParseParam(args[i].c_str(), value)) {
                return Usage((action + " needs a value").c_str());
            }
            ++i;
            if (action == "set-creator") {
                Say("creator ID %s\n", CreatorText(lutrix.QX_SetCreatorId(value)).c_str());
            } else {
                Say("HotSync user ID %u\n",
                    static_cast<unsigned>(lutrix.QX_SetHotSyncUserId(value)));
            }
        } else if (action == "install") {
            uint32_t id = 0;
            if (i + 2 > args.size() || !ParseNumber(args[i].c_str(), id)) {
                return Usage("install needs ID and FILE");
            }
            const int32_t done = lutrix.QX_InstallPRC(id, args[i + 1].c_str());
            i += 2;
            Say("install result %d\n", done);
            status = done ? status : 1;
        } else if (action == "pending") {
            uint32_t id = 0;
            if (i >= args.size() || !ParseNumber(args[i].c_str(), id)) {
                return Usage("pending needs ID");
            }
            ++i;
            Say("pending %d\n", lutrix.QX_CheckInstallPending(id));
        } else if (action == "users") {
            ListUsers(lutrix);
        } else if (action == "add-user") {
            if (i >= args.size()) {
                return Usage("add-user needs NAME");
            }
            qx::UserRecord user{};
            qx::SetStoredString(user.user_name, sizeof user.user_name, args[i++].c_str());
            int32_t code = 0;
            const int32_t added = lutrix.QX_AddUser(&user, &code);
            Say("add-user result %d error %d\n", added, code);
            if (added) {
                PrintUser(user);
            }
            status = added ? status : 1;
        } else if (action == "commit") {
            int32_t code = 0;
            const int32_t saved = lutrix.QX_CommitUserChanges(reinterpret_cast<uintptr_t>(&code));
            Say("commit result %d error %d\n", saved, code);
        } else if (action == "abandon") {
            int32_t code = 0;
            const int32_t reopened = lutrix.QX_AbandonUserChanges(&code);
            Say("abandon result %d error %d\n", reopened, code);
        } else if (action == "maintenance") {
            Say("maintenance result %d\n", lutrix.QX_UserMaintenance());
        } else {
            return Usage(("unknown action: " + action).c_str());
        }
    }
    qx::UnloadLutrix(lutrix);
    return status;
}
