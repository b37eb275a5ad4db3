#include "conduit/handheld_db/handheld_db_name.h"

#include "common/windows_path.h"
#include "conduit/sync/sync_records.h"

namespace qx {

std::string MakeHandheldDbName(std::string_view desktop_file_name, HandheldDbKind kind) {
    std::string name(kind == HandheldDbKind::kApplication ? kApplicationDbPrefix : kTableDbPrefix);
    name += SplitWindowsPath(desktop_file_name).name;
    if (name.size() > kMaxDbNameLength) {
        name.resize(kMaxDbNameLength);
    }
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');  // ASCII only: other bytes stay as they are
        } else if (c == ' ') {
            c = '_';
        }
    }
    return name;
}

}  // namespace qx
