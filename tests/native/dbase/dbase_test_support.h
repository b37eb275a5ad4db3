#pragma once
// Fixtures for the dBase tests: a recording error sink and a builder for hand-made table files.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_io.h"
#include "conduit/dbase/error_sink.h"

namespace qx::dbase::testing {

struct Report {
    std::string message;
    std::string detail;
};

class RecordingSink : public ErrorSink {
  public:
    void ReportError(std::string_view message, std::string_view detail) override {
        reports.push_back({std::string(message), std::string(detail)});
    }
    std::vector<Report> reports;
};

struct FieldLayout {
    std::string name;
    char type;
    uint8_t length;
    uint8_t decimals = 0;
    // Bytes 12..15 of the descriptor: ColMetaType and marker.
    uint8_t meta[4] = {0, 0, 0, 0};
};

inline std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A .DBF as another dBase program would write it: header, descriptors, terminator, records
// (each given with its deletion flag), end-of-file byte.
inline std::vector<uint8_t> BuildTable(uint8_t version, const std::vector<FieldLayout>& fields,
                                       const std::vector<std::string>& records) {
    uint16_t record_length = 1;
    for (const auto& field : fields) {
        record_length = static_cast<uint16_t>(record_length + field.length);
    }
    ByteWriter out(ByteOrder::kLittle);
    out.U8(version);
    out.U8(99);  // 1999-12-31
    out.U8(12);
    out.U8(31);
    out.U32(static_cast<uint32_t>(records.size()));
    out.U16(static_cast<uint16_t>(32 * fields.size() + 33));
    out.U16(record_length);
    out.Zeros(20);
    for (const auto& field : fields) {
        std::string name = field.name;
        name.resize(11, '\0');
        out.Text(name);
        out.U8(static_cast<uint8_t>(field.type));
        out.Bytes(field.meta);
        out.U8(field.length);
        out.U8(field.decimals);
        out.Zeros(14);
    }
    out.U8(0x0D);
    for (const auto& record : records) {
        out.Text(record);
    }
    out.U8(0x1A);
    return out.Take();
}

}  // namespace qx::dbase::testing
