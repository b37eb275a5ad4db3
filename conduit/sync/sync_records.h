#pragma once
// The records handed through SyncOps. In memory they are plain structs; the Sync Manager sees them
// as little-endian, byte-packed records, which EncodeX/DecodeX produce and parse field by field.
// The pointer fields are as wide as a pointer of the program (32 bits in the HotSync Manager and
// its conduits); the encoders take the address the caller wants stored.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/creator_id.h"

namespace qx {

inline constexpr uint8_t kNoHandle = 255;
inline constexpr uint8_t kOpenReadWriteExclusive = 0xE0;
inline constexpr uint32_t kDbAttrBackup = 0x0008;
inline constexpr std::size_t kDbNameField = 32;  // 31 characters and the terminating zero
inline constexpr std::size_t kMaxDbNameLength = kDbNameField - 1;

// Record attribute bits as the Sync Manager reports them.
inline constexpr uint8_t kRecAttrDeleted = 0x80;
inline constexpr uint8_t kRecAttrDirty = 0x40;
inline constexpr uint8_t kRecAttrBusy = 0x20;
inline constexpr uint8_t kRecAttrSecret = 0x10;
inline constexpr uint8_t kRecAttrArchived = 0x08;

// The name held in a 32-byte field: the characters before the first zero.
std::string_view FieldName(const std::array<char, kDbNameField>& field);
// Copies at most 31 characters and zero-fills the rest.
void SetFieldName(std::array<char, kDbNameField>& field, std::string_view name);

struct CreateDbRequest {
    uint8_t handle = kNoHandle;  // set by CreateDB
    uint32_t creator = 0;
    uint32_t flags = 0;  // the conduit sets only kDbAttrBackup
    uint8_t card = 0;
    std::array<char, kDbNameField> name = {};
    uint32_t type = 0;
    uint16_t version = 0;
    uint32_t reserved = 0;
};

struct RecordDescriptor {
    uint8_t handle = kNoHandle;
    uint32_t record_id = 0;
    uint16_t index = 0;
    uint8_t attributes = 0;
    int16_t category = 0;
    uint32_t conduit_cookie = 0;
    uint32_t record_size = 0;
    uint16_t capacity = 0;     // bytes `bytes` can hold
    uint8_t* bytes = nullptr;  // the record's bytes, owned by the caller
    uint32_t reserved = 0;
};

struct BlockDescriptor {
    std::array<char, kDbNameField> name = {};  // not filled by the conduit
    uint16_t byte_count = 0;                   // the size to write, or the capacity to read
    uint16_t bytes_read = 0;                   // equal to byte_count when writing
    uint8_t* bytes = nullptr;
    uint32_t reserved = 0;
};

// What ReadUserID fills. The conduit uses only the user ID; the emulated handheld also puts the
// user name at the start. The size leaves room for whatever else a Sync Manager fills.
struct HandheldUserRecord {
    static constexpr std::size_t kSize = 512;
    static constexpr std::size_t kUserIdOffset = 144;
    static constexpr std::size_t kUserNameOffset = 0;
    static constexpr std::size_t kUserNameField = 128;
    std::array<uint8_t, kSize> bytes = {};

    uint32_t UserId() const;
    void SetUserId(uint32_t id);
    std::string UserName() const;
    void SetUserName(std::string_view name);  // cut to 127 characters
};

// Packed sizes in the Sync Manager's layout.
inline constexpr std::size_t kCreateDbRequestSize = 52;
inline constexpr std::size_t kRecordDescriptorSize = 24 + sizeof(void*);
inline constexpr std::size_t kBlockDescriptorSize = 40 + sizeof(void*);

std::vector<uint8_t> EncodeCreateDbRequest(const CreateDbRequest& request);
bool DecodeCreateDbRequest(std::span<const uint8_t> bytes, CreateDbRequest& out,
                           std::string& error);

// The byte pointer travels as `address`; decoding leaves `bytes` null and hands the stored
// address back.
std::vector<uint8_t> EncodeRecordDescriptor(const RecordDescriptor& desc, uintptr_t address);
bool DecodeRecordDescriptor(std::span<const uint8_t> bytes, RecordDescriptor& out,
                            uintptr_t& address, std::string& error);
std::vector<uint8_t> EncodeBlockDescriptor(const BlockDescriptor& desc, uintptr_t address);
bool DecodeBlockDescriptor(std::span<const uint8_t> bytes, BlockDescriptor& out, uintptr_t& address,
                           std::string& error);

}  // namespace qx
