#include "utility/core/stored_string.h"

#include <cstring>

namespace qx {

uint32_t GetStoredString(std::string_view stored, char* buffer, int32_t size) {
    if (buffer != nullptr && size > 0) {
        const std::size_t capacity = static_cast<std::size_t>(size);
        std::memset(buffer, 0, capacity);
        const std::size_t copied = stored.size() < capacity - 1 ? stored.size() : capacity - 1;
        std::memcpy(buffer, stored.data(), copied);
    }
    return static_cast<uint32_t>(stored.size());
}

void SetStoredString(char* field, std::size_t field_size, const char* text) {
    std::memset(field, 0, field_size);
    if (text != nullptr) {
        const std::size_t length = BoundedLength(text, field_size - 1);
        std::memcpy(field, text, length);
    }
}

}  // namespace qx
