#pragma once
// One synchronisation once the HotSync libraries are bound: read the handheld's application
// directory, publish who is synchronising, work through the queue, report progress, and write
// the log entries that open and close the conduit's part of the HotSync log.

#include <cstdint>
#include <string>

#include "conduit/spine/dispatch_command.h"

namespace qx {

// Lutrix as the synchronisation uses it.
class QueueSide {
  public:
    virtual void PublishUser(const std::string& name, uint32_t user_id, uint32_t creator) = 0;
    virtual void SetHotSyncUserId(uint32_t id) = 0;
    // False when the queue is empty.
    virtual bool TakeCommand(int32_t& code, std::string& file, uint32_t& first,
                             uint32_t& second) = 0;
    // Tells waiting clients (code 1 started, 3 command done, 2 finished) and waits while one of
    // them holds the wait counter.
    virtual void NotifyProgress(uint32_t code, uint32_t value) = 0;

  protected:
    ~QueueSide() = default;
};

inline constexpr std::string_view kAppDirectoryName = "QX-SE_SysHeap";

// The open handle of the application directory and the user ID it holds; handle 255 when the
// directory cannot be opened (nothing said) or its info block cannot be read (1120 reported).
struct AppDirectory {
    uint8_t handle;
    uint32_t user_id;
};
AppDirectory ReadAppDirectory(SyncOps& ops, ErrorReporter& errors);

// Runs the synchronisation in HotSync mode; true when it and every command succeeded.
bool RunSynchronisation(const DispatchSeams& seams, QueueSide& queue, const std::string& user_name,
                        uint32_t creator);

}  // namespace qx
