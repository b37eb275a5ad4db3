#include "conduit/app/script_block.h"

#include "conduit/app/app_messages.h"

namespace qx {

bool ConvertScriptBlock(PdaReader& reader, RecordWriter& out, std::size_t& size) {
    size = 0;
    bool signature_ok = false;
    if (!reader.Tag(kScriptSignature, signature_ok, "script signature")) {
        return false;
    }
    if (!signature_ok) {
        reader.errors().ReportError(kMsgWrongScriptSignature, std::nullopt);
    }
    uint32_t length = 0;
    if (!reader.Long(length, "script length")) {
        return false;
    }
    if (length == 0) {
        return true;
    }
    uint16_t w1 = 0, w2 = 0;
    std::span<const uint8_t> code;
    reader.Word(w1, "script word 1");
    reader.Word(w2, "script word 2");
    if (!reader.Bytes(length, code, "script code")) {
        return false;
    }
    const std::size_t start = out.size();
    if (!out.U16(kScriptHeaderTag) || !out.U16(w1) || !out.U16(w2) || !out.Bytes(code) ||
        !out.AlignEvenFrom(start)) {
        return reader.Fail(PdaFailure::kRecordTooLarge, "script");
    }
    size = out.size() - start;
    return true;
}

}  // namespace qx
