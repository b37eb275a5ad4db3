#include "conduit/sync/pdb_message_channel.h"

namespace qx {

void PdbMessageChannel::Add(std::string_view text, int32_t /*activity*/, int32_t /*time_stamp*/) {
    host_.ShowMessage(kPdbMessageCaption, text);
}

}  // namespace qx
