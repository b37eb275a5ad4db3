#pragma once
// Desktop files through the C library: binary mode, and on Windows the C library's default
// sharing lets other programs read and write the same file.

#include "conduit/dbase/desktop_file.h"

namespace qx::dbase {

class StdioFileSystem : public DesktopFileSystem {
  public:
    std::unique_ptr<DesktopFile> Open(std::string_view path, OpenMode mode) override;
    bool Replace(std::string_view from, std::string_view to) override;
    bool Remove(std::string_view path) override;
};

}  // namespace qx::dbase
