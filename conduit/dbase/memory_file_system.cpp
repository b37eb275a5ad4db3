#include "conduit/dbase/memory_file_system.h"

#include <algorithm>

namespace qx::dbase {
namespace {

class MemoryFile : public DesktopFile {
  public:
    MemoryFile(MemoryFileSystem& owner, std::vector<uint8_t>& bytes, bool writable)
        : owner_(&owner), bytes_(&bytes), writable_(writable) {}

    std::size_t Read(std::span<uint8_t> out) override {
        if (bytes_ == nullptr || position_ >= bytes_->size()) {
            return 0;
        }
        std::size_t count = std::min<uint64_t>(out.size(), bytes_->size() - position_);
        if (owner_->read_chunk() != 0) {
            count = std::min(count, owner_->read_chunk());
        }
        std::copy_n(bytes_->begin() + static_cast<std::ptrdiff_t>(position_), count, out.begin());
        position_ += count;
        return count;
    }

    bool Write(std::span<const uint8_t> bytes) override {
        if (bytes_ == nullptr || !writable_ || owner_->NextWriteOrSeekFails()) {
            return false;
        }
        const uint64_t end = position_ + bytes.size();
        if (end > bytes_->size()) {
            bytes_->resize(end, 0);
        }
        std::copy(bytes.begin(), bytes.end(),
                  bytes_->begin() + static_cast<std::ptrdiff_t>(position_));
        position_ = end;
        return true;
    }

    bool Seek(uint64_t offset) override {
        if (bytes_ == nullptr || owner_->NextWriteOrSeekFails()) {
            return false;
        }
        position_ = offset;
        return true;
    }

    uint64_t Position() const override { return position_; }
    std::optional<uint64_t> SizeHint() const override {
        return bytes_ == nullptr ? std::nullopt : std::optional<uint64_t>(bytes_->size());
    }
    bool Flush() override { return bytes_ != nullptr; }

    bool Close() override {
        if (bytes_ == nullptr) {
            return true;
        }
        bytes_ = nullptr;
        return !owner_->close_fails();
    }

  private:
    MemoryFileSystem* owner_;
    std::vector<uint8_t>* bytes_;
    bool writable_;
    uint64_t position_ = 0;
};

}  // namespace

std::unique_ptr<DesktopFile> MemoryFileSystem::Open(std::string_view path, OpenMode mode) {
    const std::string key(path);
    if (fail_open_.count(key) != 0) {
        return nullptr;
    }
    auto found = files_.find(key);
    if (mode == OpenMode::kRead) {
        if (found == files_.end()) {
            return nullptr;
        }
    } else {
        found = files_.insert_or_assign(key, std::vector<uint8_t>{}).first;
    }
    ++opens_;
    return std::make_unique<MemoryFile>(*this, found->second, mode == OpenMode::kCreate);
}

bool MemoryFileSystem::Replace(std::string_view from, std::string_view to) {
    if (replace_countdown_ > 0) {
        if (--replace_countdown_ == 0) {
            replace_countdown_ = replace_sticky_ ? 1 : 0;  // sticky: keep failing
            return false;
        }
    }
    const auto found = files_.find(std::string(from));
    if (found == files_.end()) {
        return false;
    }
    if (from == to) {
        return true;
    }
    std::vector<uint8_t> bytes = std::move(found->second);
    files_.erase(found);
    files_[std::string(to)] = std::move(bytes);
    return true;
}

bool MemoryFileSystem::Remove(std::string_view path) {
    files_.erase(std::string(path));
    return true;
}

bool MemoryFileSystem::NextWriteOrSeekFails() {
    if (countdown_ <= 0) {
        return false;
    }
    if (tripped_) {
        return sticky_;
    }
    if (--countdown_ == 0) {
        tripped_ = true;
        if (sticky_) {
            countdown_ = 1;  // keep the hook armed
        }
        return true;
    }
    return false;
}

}  // namespace qx::dbase
