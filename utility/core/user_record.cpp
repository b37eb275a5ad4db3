#include "utility/core/user_record.h"

#include <algorithm>
#include <cstring>

#include "common/byte_io.h"
#include "utility/core/stored_string.h"

namespace qx {
namespace {

constexpr std::size_t kNameAt = 4, kNameSize = 32;
constexpr std::size_t kDirectoryAt = 36, kDirectorySize = 328 - 36;
constexpr std::size_t kExtraAt = 328;

std::string TextAt(std::span<const uint8_t> record, std::size_t at, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(record.data() + at);
    return std::string(text, BoundedLength(text, size));
}

void PutText(std::span<uint8_t> record, std::size_t at, const std::string& text, std::size_t max) {
    const std::size_t length = std::min(text.size(), max);
    std::memcpy(record.data() + at, text.data(), length);
}

}  // namespace

UserManagerFields ReadUserManagerRecord(std::span<const uint8_t, kUserManagerRecordSize> record) {
    UserManagerFields fields;
    fields.user_id = LoadU32(record.first<4>(), ByteOrder::kLittle);
    fields.user_name = TextAt(record, kNameAt, kNameSize);
    fields.directory_name = TextAt(record, kDirectoryAt, kDirectorySize);
    fields.extra = LoadU16(record.subspan<kExtraAt, 2>(), ByteOrder::kLittle);
    return fields;
}

UserManagerRecord MakeUserManagerRecord(const UserManagerFields& fields) {
    UserManagerRecord record{};
    StoreU32(std::span(record).first<4>(), fields.user_id, ByteOrder::kLittle);
    PutText(record, kNameAt, fields.user_name, kNameSize - 1);
    PutText(record, kDirectoryAt, fields.directory_name, 259);
    StoreU16(std::span(record).subspan<kExtraAt, 2>(), fields.extra, ByteOrder::kLittle);
    return record;
}

std::string_view FieldName(const char (&user_name)[32]) {
    return {user_name, BoundedLength(user_name, kNameSize - 1)};
}

void FillUserRecord(const UserManagerFields& fields, UserRecord& out) {
    out.user_id = fields.user_id;
    SetStoredString(out.user_name, sizeof out.user_name, fields.user_name.c_str());
    SetStoredString(out.directory_name, sizeof out.directory_name, fields.directory_name.c_str());
    out.extra = fields.extra;
}

}  // namespace qx
