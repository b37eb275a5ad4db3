#pragma once

#include "utility/core/registry_view.h"

namespace qx {

// The real registry, read as the library always has: each key opened for one read and closed.
class WindowsRegistryView final : public RegistryView {
  public:
    bool KeyExists(Hive hive, std::string_view path) const override;
    std::optional<std::string> ReadValue(Hive hive, std::string_view path,
                                         std::string_view name) const override;
    std::optional<std::string> SubkeyName(Hive hive, std::string_view path,
                                          uint32_t index) const override;
};

}  // namespace qx
