#pragma once
// Read-only access to the registry keys the library looks up at load time. The Windows build reads
// the real registry; tests give a prepared one. Every value is read the way the library always has:
// into a 260-byte buffer, so a longer value counts as missing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

enum class Hive { kCurrentUser, kLocalMachine };

inline constexpr std::size_t kRegistryBufferSize = 260;

class RegistryView {
  public:
    virtual ~RegistryView() = default;

    virtual bool KeyExists(Hive hive, std::string_view path) const = 0;

    // The value's text, or nothing when the key or value is missing or does not fit the buffer.
    virtual std::optional<std::string> ReadValue(Hive hive, std::string_view path,
                                                 std::string_view name) const = 0;

    // The name of subkey number `index`, or nothing past the last one.
    virtual std::optional<std::string> SubkeyName(Hive hive, std::string_view path,
                                                  uint32_t index) const = 0;
};

}  // namespace qx
