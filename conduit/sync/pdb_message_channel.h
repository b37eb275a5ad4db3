#pragma once
// The log channel of PDB-file mode: no HotSync log exists then, so each line becomes a message box
// captioned "PDB FILE". Activity code and time-stamp flag mean nothing to a message box.

#include "conduit/sync/log_channel.h"
#include "conduit/sync/message_box_host.h"

namespace qx {

inline constexpr std::string_view kPdbMessageCaption = "PDB FILE";

class PdbMessageChannel final : public LogChannel {
  public:
    explicit PdbMessageChannel(MessageBoxHost& host) : host_(host) {}
    void Add(std::string_view text, int32_t activity, int32_t time_stamp) override;

  private:
    MessageBoxHost& host_;
};

}  // namespace qx
