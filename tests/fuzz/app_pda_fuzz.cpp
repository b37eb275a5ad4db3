// Any bytes given to the application file reader: it must convert them or stop with a reason,
// never read outside the input nor write outside the record buffer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "conduit/app/app_info_block.h"
#include "conduit/app/form_record.h"
#include "conduit/sync/record_buffer.h"

namespace {

struct IgnoredErrors final : qx::ErrorReporter {
    void ReportError(std::string_view, std::optional<std::string_view>) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes =
        data ? std::span(data, size) : std::span<const uint8_t>();
    IgnoredErrors errors;
    qx::PdaReader reader(bytes, errors);
    if (qx::ReadPdaOpening(reader) != qx::PdaOpening::kApplication) {
        return 0;
    }
    static qx::RecordBuffer buffer;
    qx::AppInfoBlockResult info;
    if (!qx::ConvertAppHeader(reader, buffer.data, info)) {
        if (reader.failure() == qx::PdaFailure::kNone) {
            __builtin_trap();  // every refusal names its reason
        }
        return 0;
    }
    for (std::size_t form = 0; form < info.form_count; ++form) {
        uint16_t record_size = 0;
        if (!qx::ConvertForm(reader, buffer.data, record_size)) {
            if (reader.failure() == qx::PdaFailure::kNone) {
                __builtin_trap();
            }
            return 0;
        }
    }
    return 0;
}
