// Natively the conversion runs in this program, with the conduit's dialogs and "PDB FILE" boxes
// written to the terminal instead.

#include <cstdio>

#include "conduit/dbase/stdio_file_system.h"
#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/spine/dispatch_command.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/pdb_message_channel.h"
#include "tools/qxpdb/pdb_write.h"
#include "tools/qxpdb/terminal_errors.h"

namespace qx {
namespace {

class TerminalBoxes final : public MessageBoxHost {
  public:
    void ShowMessage(std::string_view caption, std::string_view text) override {
        std::printf("%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                    static_cast<int>(text.size()), text.data());
    }
};

}  // namespace

int WritePdb(bool table, const std::string& file, uint32_t creator, uint32_t flags) {
    NativeFileSystem files;
    SystemPalmClock clock;
    TerminalBoxes boxes;
    PdbMessageChannel log(boxes);
    TerminalErrors errors;
    std::string current;
    PdbFileOps ops(files, clock, log, [&current] { return current; });
    static RecordBuffer buffer;  // 64 KB: kept off the stack
    dbase::StdioFileSystem table_files;
    const DispatchSeams seams{{&ops, &log},
                              {&ops, &log},
                              errors,
                              buffer,
                              table_files,
                              [&current](int32_t, const std::string& name) { current = name; },
                              [](const std::string&) { return 0; }};
    return DispatchCommand(seams, table ? kWriteTablePdbCode : kWriteAppPdbCode, file, creator,
                           flags);
}

}  // namespace qx
