#include "conduit/tables/staged_table_files.h"

#include <algorithm>

namespace qx::tables {

std::string StagedPathFor(std::string_view target) {
    return std::string(target) + ".qxnew";
}

std::string SetAsidePathFor(std::string_view target) {
    return std::string(target) + ".qxold";
}

bool StagedTableFiles::IsTarget(std::string_view path) const {
    return std::find(targets_.begin(), targets_.end(), path) != targets_.end();
}

bool StagedTableFiles::IsStaged(std::string_view path) const {
    return std::find(staged_.begin(), staged_.end(), path) != staged_.end();
}

std::unique_ptr<dbase::DesktopFile> StagedTableFiles::Open(std::string_view path,
                                                           dbase::OpenMode mode) {
    if (mode == dbase::OpenMode::kCreate && IsTarget(path)) {
        auto file = base_.Open(StagedPathFor(path), mode);
        if (file != nullptr && !IsStaged(path)) {
            staged_.emplace_back(path);
        }
        return file;
    }
    if (IsStaged(path)) {
        return base_.Open(StagedPathFor(path), mode);  // reading back what is being written
    }
    return base_.Open(path, mode);
}

bool StagedTableFiles::Replace(std::string_view from, std::string_view to) {
    return base_.Replace(from, to);
}

bool StagedTableFiles::Remove(std::string_view path) {
    return base_.Remove(path);
}

bool StagedTableFiles::Commit() {
    struct Step {
        std::string target;
        bool set_aside = false;
        bool placed = false;
    };
    std::vector<Step> steps;
    for (const std::string& target : staged_) {
        steps.push_back({target});
    }
    bool ok = true;
    for (Step& step : steps) {
        if (base_.Open(step.target, dbase::OpenMode::kRead) == nullptr) {
            continue;  // nothing there to keep
        }
        if (!base_.Replace(step.target, SetAsidePathFor(step.target))) {
            ok = false;
            break;
        }
        step.set_aside = true;
    }
    for (Step& step : steps) {
        if (!ok) {
            break;
        }
        if (!base_.Replace(StagedPathFor(step.target), step.target)) {
            ok = false;
            break;
        }
        step.placed = true;
    }
    if (!ok) {
        // Back to the old pair: new files out, old files in.
        for (const Step& step : steps) {
            if (step.placed && !step.set_aside) {
                base_.Remove(step.target);
            }
            if (step.set_aside) {
                base_.Replace(SetAsidePathFor(step.target), step.target);
            }
        }
        Discard();
        return false;
    }
    for (const Step& step : steps) {
        if (step.set_aside) {
            base_.Remove(SetAsidePathFor(step.target));  // a leftover copy harms nothing
        }
    }
    staged_.clear();
    return true;
}

void StagedTableFiles::Discard() {
    for (const std::string& target : staged_) {
        base_.Remove(StagedPathFor(target));
    }
    staged_.clear();
}

}  // namespace qx::tables
