#pragma once
// The two user records: UserRecord, which Lutrix fills for its callers (a C record, so clients
// built against any version see the same offsets), and the user manager's own 336-byte record,
// which Lutrix exchanges with USEREDIT and reads and writes byte by byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qx {

struct UserRecord {
    uint32_t user_id;
    char user_name[32];        // at most 31 characters
    char directory_name[260];  // at most 259 characters
    uint16_t extra;
};
static_assert(offsetof(UserRecord, user_id) == 0);
static_assert(offsetof(UserRecord, user_name) == 4);
static_assert(offsetof(UserRecord, directory_name) == 36);
static_assert(offsetof(UserRecord, extra) == 296);
static_assert(sizeof(UserRecord) == 300);

inline constexpr std::size_t kUserManagerRecordSize = 336;
using UserManagerRecord = std::array<uint8_t, kUserManagerRecordSize>;

// What the user manager's record says about a user. Strings end at their terminator or at the
// end of their place in the record, whichever comes first.
struct UserManagerFields {
    uint32_t user_id = 0;
    std::string user_name;       // bytes 4-35
    std::string directory_name;  // from byte 36, up to byte 327
    uint16_t extra = 0;          // bytes 328-329
};

UserManagerFields ReadUserManagerRecord(std::span<const uint8_t, kUserManagerRecordSize> record);
// All other bytes zero; the name cut to 31 characters and the folder to 259.
UserManagerRecord MakeUserManagerRecord(const UserManagerFields& fields);

// The name a caller put into a UserRecord: at most 31 characters, terminated or not.
std::string_view FieldName(const char (&user_name)[32]);

// The translation Lutrix does after a successful find or add.
void FillUserRecord(const UserManagerFields& fields, UserRecord& out);

}  // namespace qx
