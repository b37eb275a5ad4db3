#pragma once
// The retrieval writes a new .DBF and .DBT while the user's old ones stay where they are: files
// created under the target names are really created beside them ("<target>.qxnew"), and only
// Commit puts them in place. The table and memo code see the target names throughout, so their
// messages and the memo header's base name are those of the real files.
//
// Commit moves any old file aside ("<target>.qxold"), moves the new ones in, and then removes
// the old ones; if a step fails it puts back what was there, so the pair of files a user has is
// always either the old pair or the new pair.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conduit/dbase/desktop_file.h"

namespace qx::tables {

std::string StagedPathFor(std::string_view target);
std::string SetAsidePathFor(std::string_view target);

class StagedTableFiles final : public dbase::DesktopFileSystem {
  public:
    // `targets` are the paths whose creation is staged; every other path goes to `base` as is.
    StagedTableFiles(dbase::DesktopFileSystem& base, std::vector<std::string> targets)
        : base_(base), targets_(std::move(targets)) {}

    std::unique_ptr<dbase::DesktopFile> Open(std::string_view path, dbase::OpenMode mode) override;
    bool Replace(std::string_view from, std::string_view to) override;
    bool Remove(std::string_view path) override;

    // Every staged file must be closed. True when all of them are in place.
    [[nodiscard]] bool Commit();
    // Removes the staged files; the targets are untouched.
    void Discard();

  private:
    bool IsTarget(std::string_view path) const;
    bool IsStaged(std::string_view path) const;

    dbase::DesktopFileSystem& base_;
    std::vector<std::string> targets_;
    std::vector<std::string> staged_;  // targets created so far, in order
};

}  // namespace qx::tables
