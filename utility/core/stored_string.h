#pragma once
// How the library hands out and stores its strings. Getting: the caller's buffer is zero-filled
// and receives at most size - 1 characters, so it always ends terminated; the result is always the
// stored string's full length, which is how a caller learns the size it needs. Storing: the field
// is cleared and at most 259 characters are kept.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qx {

uint32_t GetStoredString(std::string_view stored, char* buffer, int32_t size);

// Length of a string that may fill its field without a terminator: never reads past the field.
inline std::size_t BoundedLength(const char* text, std::size_t field_size) {
    std::size_t length = 0;
    while (length < field_size && text[length] != '\0') {
        ++length;
    }
    return length;
}

inline std::string_view FieldText(const char* field, std::size_t field_size) {
    return {field, BoundedLength(field, field_size)};
}

void SetStoredString(char* field, std::size_t field_size, const char* text);

}  // namespace qx
