#include "conduit/spine/synchronisation.h"

#include <array>

#include "common/byte_io.h"
#include "conduit/handheld_db/handheld_db.h"
#include "conduit/spine/conduit_messages.h"
#include "conduit/sync/log_channel.h"

namespace qx {
namespace {

constexpr std::size_t kAppDirectoryInfoSize = 26;
constexpr uint16_t kAppDirectoryUserIdVersion = 0x0102;  // user ID meaningful from this version

}  // namespace

AppDirectory ReadAppDirectory(SyncOps& ops, ErrorReporter& errors) {
    uint8_t handle = kNoHandle;
    if (ops.OpenDB(kAppDirectoryName, 0, handle, kOpenReadWriteExclusive) != 0) {
        return {kNoHandle, 0};
    }
    std::array<uint8_t, kAppDirectoryInfoSize> info{};
    if (ReadAppInfoBlock(ops, handle, info) == 0) {
        errors.ReportError(kMsgCannotReadAppDirectory, std::nullopt);
        ops.CloseDB(handle);
        return {kNoHandle, 0};
    }
    const uint16_t version = LoadU16(std::span(info).subspan<4, 2>(), ByteOrder::kBig);
    const uint32_t user_id = LoadU32(std::span(info).subspan<6, 4>(), ByteOrder::kBig);
    return {handle, version < kAppDirectoryUserIdVersion ? 0 : user_id};
}

bool RunSynchronisation(const DispatchSeams& seams, QueueSide& queue, const std::string& user_name,
                        uint32_t creator) {
    SelectSyncMode(seams.hotsync);
    ActiveLogChannel->Add("", kLogActivitySyncStart, 0);

    bool succeeded = false;
    const AppDirectory directory = ReadAppDirectory(*ActiveOps, seams.errors);
    if (directory.handle != kNoHandle) {
        ActiveOps->CloseDB(directory.handle);
        queue.PublishUser(user_name, directory.user_id, creator);
        HandheldUserRecord user;
        ActiveOps->ReadUserID(user);
        queue.SetHotSyncUserId(user.UserId());
        queue.NotifyProgress(1, 0);
        seams.buffer.Reset();

        succeeded = true;
        int32_t code = 0;
        std::string file;
        uint32_t first = 0, second = 0;
        while (queue.TakeCommand(code, file, first, second)) {
            const int result = DispatchCommand(seams, code, file, first, second);
            queue.NotifyProgress(3, static_cast<uint32_t>(result));
            succeeded = succeeded && result == 1;
        }
    }
    queue.NotifyProgress(2, succeeded ? 1 : 0);
    queue.SetHotSyncUserId(0);
    ActiveLogChannel->Add(kConduitName, succeeded ? kLogActivitySyncDone : kLogActivitySyncFailed,
                          0);
    return succeeded;
}

}  // namespace qx
