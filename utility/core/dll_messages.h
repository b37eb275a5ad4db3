#pragma once
// Every message the library shows is one literal: four decimal digits, then the text. The code
// stays readable in the box, and callers can tell messages apart by their first four characters.

#include <string>
#include <string_view>

namespace qx {

using DllMessage = const char*;

inline constexpr DllMessage kMsgUnknownCommandType =
    "1010Unknown command type given to QX_AddToCommandQueue!";
inline constexpr DllMessage kMsgBadFilename = "1020Bad filename passed to QX_AddToCommandQueue!";
inline constexpr DllMessage kMsgCannotRegisterMessage =
    "1030Couldn't register message to communicate with conduit!";
inline constexpr DllMessage kMsgBadCreatorId = "1040Bad Creator ID specified.";
inline constexpr DllMessage kMsgCannotCopyToInstallDir =
    "1050Couldn't copy file to install directory.";

// The text of the message box: "Quorvix DLL Error 1040: Bad Creator ID specified.", then a line
// break and the detail when one is given.
std::string FormatDllError(std::string_view message, const char* detail);

// The box's caption: the library's file name without directory or extension.
std::string ModuleCaption(std::string_view module_path);

}  // namespace qx
