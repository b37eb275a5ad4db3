#include "conduit/sync/sync_records.h"

#include <algorithm>
#include <cstdio>

#include "common/byte_io.h"

namespace qx {

std::string_view FieldName(const std::array<char, kDbNameField>& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string_view(field.data(), static_cast<std::size_t>(end - field.begin()));
}

void SetFieldName(std::array<char, kDbNameField>& field, std::string_view name) {
    field.fill('\0');
    std::copy_n(name.begin(), std::min(name.size(), kMaxDbNameLength), field.begin());
}

uint32_t HandheldUserRecord::UserId() const {
    return LoadU32(std::span<const uint8_t, 4>(bytes.data() + kUserIdOffset, 4),
                   ByteOrder::kLittle);
}

void HandheldUserRecord::SetUserId(uint32_t id) {
    StoreU32(std::span<uint8_t, 4>(bytes.data() + kUserIdOffset, 4), id, ByteOrder::kLittle);
}

std::string HandheldUserRecord::UserName() const {
    const auto* begin = bytes.data() + kUserNameOffset;
    const auto* end = std::find(begin, begin + kUserNameField, uint8_t{0});
    return std::string(begin, end);
}

void HandheldUserRecord::SetUserName(std::string_view name) {
    auto* field = bytes.data() + kUserNameOffset;
    std::fill_n(field, kUserNameField, uint8_t{0});
    std::copy_n(name.begin(), std::min(name.size(), kUserNameField - 1), field);
}

namespace {

void WriteName(ByteWriter& writer, const std::array<char, kDbNameField>& name) {
    for (char c : name) {
        writer.U8(static_cast<uint8_t>(c));
    }
}

bool ReadName(ByteReader& reader, std::array<char, kDbNameField>& name) {
    std::array<uint8_t, kDbNameField> raw = {};
    if (!reader.Bytes(raw, "name")) {
        return false;
    }
    std::transform(raw.begin(), raw.end(), name.begin(),
                   [](uint8_t b) { return static_cast<char>(b); });
    return true;
}

bool Finish(const ByteReader& reader, std::string& error) {
    if (reader.failed()) {
        error = reader.error();
        return false;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeCreateDbRequest(const CreateDbRequest& request) {
    ByteWriter writer(ByteOrder::kLittle);
    writer.U8(request.handle);
    writer.U32(request.creator);
    writer.U32(request.flags);
    writer.U8(request.card);
    WriteName(writer, request.name);
    writer.U32(request.type);
    writer.U16(request.version);
    writer.U32(request.reserved);
    return writer.Take();
}

bool DecodeCreateDbRequest(std::span<const uint8_t> bytes, CreateDbRequest& out,
                           std::string& error) {
    ByteReader reader(bytes, ByteOrder::kLittle);
    CreateDbRequest r;
    reader.U8(r.handle, "handle") && reader.U32(r.creator, "creator") &&
        reader.U32(r.flags, "flags") && reader.U8(r.card, "card number") &&
        ReadName(reader, r.name) && reader.U32(r.type, "type") &&
        reader.U16(r.version, "version") && reader.U32(r.reserved, "reserved");
    if (!Finish(reader, error)) {
        return false;
    }
    out = r;
    return true;
}

namespace {

// A pointer field is as wide as a pointer of the program: 4 bytes in the 32-bit HotSync Manager.
void WriteAddress(ByteWriter& writer, uintptr_t address) {
    writer.U32(static_cast<uint32_t>(address));
    if constexpr (sizeof(uintptr_t) == 8) {
        writer.U32(static_cast<uint32_t>(static_cast<uint64_t>(address) >> 32));
    }
}

bool ReadAddress(ByteReader& reader, uintptr_t& address) {
    uint32_t low = 0, high = 0;
    if (!reader.U32(low, "buffer pointer")) {
        return false;
    }
    if constexpr (sizeof(uintptr_t) == 8) {
        if (!reader.U32(high, "buffer pointer")) {
            return false;
        }
    }
    address = static_cast<uintptr_t>(static_cast<uint64_t>(high) << 32 | low);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeRecordDescriptor(const RecordDescriptor& desc, uintptr_t address) {
    ByteWriter writer(ByteOrder::kLittle);
    writer.U8(desc.handle);
    writer.U32(desc.record_id);
    writer.U16(desc.index);
    writer.U8(desc.attributes);
    writer.U16(static_cast<uint16_t>(desc.category));
    writer.U32(desc.conduit_cookie);
    writer.U32(desc.record_size);
    writer.U16(desc.capacity);
    WriteAddress(writer, address);
    writer.U32(desc.reserved);
    return writer.Take();
}

bool DecodeRecordDescriptor(std::span<const uint8_t> bytes, RecordDescriptor& out,
                            uintptr_t& address, std::string& error) {
    ByteReader reader(bytes, ByteOrder::kLittle);
    RecordDescriptor d;
    uintptr_t stored_address = 0;
    reader.U8(d.handle, "handle") && reader.U32(d.record_id, "record ID") &&
        reader.U16(d.index, "record index") && reader.U8(d.attributes, "attributes") &&
        reader.I16(d.category, "category") && reader.U32(d.conduit_cookie, "conduit cookie") &&
        reader.U32(d.record_size, "record size") && reader.U16(d.capacity, "buffer capacity") &&
        ReadAddress(reader, stored_address) && reader.U32(d.reserved, "reserved");
    if (!Finish(reader, error)) {
        return false;
    }
    out = d;
    address = stored_address;
    return true;
}

std::vector<uint8_t> EncodeBlockDescriptor(const BlockDescriptor& desc, uintptr_t address) {
    ByteWriter writer(ByteOrder::kLittle);
    WriteName(writer, desc.name);
    writer.U16(desc.byte_count);
    writer.U16(desc.bytes_read);
    WriteAddress(writer, address);
    writer.U32(desc.reserved);
    return writer.Take();
}

bool DecodeBlockDescriptor(std::span<const uint8_t> bytes, BlockDescriptor& out, uintptr_t& address,
                           std::string& error) {
    ByteReader reader(bytes, ByteOrder::kLittle);
    BlockDescriptor d;
    uintptr_t stored_address = 0;
    ReadName(reader, d.name) && reader.U16(d.byte_count, "byte count") &&
        reader.U16(d.bytes_read, "bytes read") && ReadAddress(reader, stored_address) &&
        reader.U32(d.reserved, "reserved");
    if (!Finish(reader, error)) {
        return false;
    }
    out = d;
    address = stored_address;
    return true;
}

}  // namespace qx
