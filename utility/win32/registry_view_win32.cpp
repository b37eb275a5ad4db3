#include "utility/win32/registry_view_win32.h"

#include <windows.h>

#include "utility/core/stored_string.h"

namespace qx {
namespace {

// An open key that closes itself.
class OpenKey {
  public:
    OpenKey(Hive hive, std::string_view path) {
        const HKEY root = hive == Hive::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        const std::string name(path);
        if (RegOpenKeyExA(root, name.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace

bool WindowsRegistryView::KeyExists(Hive hive, std::string_view path) const {
    return OpenKey(hive, path).get() != nullptr;
}

std::optional<std::string> WindowsRegistryView::ReadValue(Hive hive, std::string_view path,
                                                          std::string_view name) const {
    const OpenKey key(hive, path);
    if (key.get() == nullptr) {
        return std::nullopt;
    }
    char buffer[kRegistryBufferSize] = {};
    DWORD size = sizeof buffer;
    const std::string value_name(name);
    if (RegQueryValueExA(key.get(), value_name.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    // A value that fills the buffer without a terminator does not fit it either.
    const std::size_t length = BoundedLength(buffer, size);
    if (length == sizeof buffer) {
        return std::nullopt;
    }
    return std::string(buffer, length);
}

std::optional<std::string> WindowsRegistryView::SubkeyName(Hive hive, std::string_view path,
                                                           uint32_t index) const {
    const OpenKey key(hive, path);
    if (key.get() == nullptr) {
        return std::nullopt;
    }
    char name[kRegistryBufferSize] = {};
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(name, size);
}

}  // namespace qx
