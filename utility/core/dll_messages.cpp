#include "utility/core/dll_messages.h"

namespace qx {

std::string FormatDllError(std::string_view message, const char* detail) {
    const std::string_view code = message.substr(0, 4);
    const std::string_view text = message.size() > 4 ? message.substr(4) : std::string_view{};
    std::string out = "Quorvix DLL Error ";
    out.append(code).append(": ").append(text);
    if (detail != nullptr) {
        out.append("\n").append(detail);
    }
    return out;
}

std::string ModuleCaption(std::string_view module_path) {
    const std::size_t slash = module_path.find_last_of("\\/:");
    std::string_view name =
        slash == std::string_view::npos ? module_path : module_path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    return std::string(name);
}

}  // namespace qx
