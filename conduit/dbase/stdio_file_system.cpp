#include "conduit/dbase/stdio_file_system.h"

#include <cstdio>
#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <io.h>
#else
#include <sys/stat.h>
#endif

namespace qx::dbase {
namespace {

bool SeekTo(std::FILE* file, uint64_t offset) {
#if defined(_WIN32)
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

class StdioFile : public DesktopFile {
  public:
    explicit StdioFile(std::FILE* file) : file_(file) {}
    ~StdioFile() override { Close(); }

    std::size_t Read(std::span<uint8_t> out) override {
        if (file_ == nullptr || out.empty()) {
            return 0;
        }
        PrepareFor(Op::kRead);
        const std::size_t got = std::fread(out.data(), 1, out.size(), file_);
        position_ += got;
        return got;
    }

    bool Write(std::span<const uint8_t> bytes) override {
        if (file_ == nullptr) {
            return false;
        }
        if (bytes.empty()) {
            return true;
        }
        PrepareFor(Op::kWrite);
        const std::size_t put = std::fwrite(bytes.data(), 1, bytes.size(), file_);
        position_ += put;
        return put == bytes.size();
    }

    bool Seek(uint64_t offset) override {
        if (file_ != nullptr && offset == position_) {
            // Already there: the C library would flush its buffer for nothing. The last
            // operation stays noted, so a switch between reading and writing still seeks.
            return true;
        }
        if (file_ == nullptr || !SeekTo(file_, offset)) {
            return false;
        }
        position_ = offset;
        last_ = Op::kNone;
        return true;
    }

    uint64_t Position() const override { return position_; }

    std::optional<uint64_t> SizeHint() const override {
        if (file_ == nullptr) {
            return std::nullopt;
        }
#if defined(_WIN32)
        const long long length = _filelengthi64(_fileno(file_));
        return length < 0 ? std::nullopt : std::optional<uint64_t>(length);
#else
        struct stat status {};
        return fstat(fileno(file_), &status) != 0 ? std::nullopt
                                                  : std::optional<uint64_t>(status.st_size);
#endif
    }

    bool Flush() override {
        return file_ != nullptr && std::fflush(file_) == 0;
    }

    bool Close() override {
        if (file_ == nullptr) {
            return true;
        }
        const bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

  private:
    enum class Op { kNone, kRead, kWrite };

    // The C library needs a positioning call between a read and a write on one stream.
    void PrepareFor(Op op) {
        if (last_ != Op::kNone && last_ != op) {
            SeekTo(file_, position_);
        }
        last_ = op;
    }

    std::FILE* file_;
    uint64_t position_ = 0;
    Op last_ = Op::kNone;
};

}  // namespace

std::unique_ptr<DesktopFile> StdioFileSystem::Open(std::string_view path, OpenMode mode) {
    const std::string name(path);
    std::FILE* file = std::fopen(name.c_str(), mode == OpenMode::kRead ? "rb" : "w+b");
    if (file == nullptr) {
        return nullptr;
    }
    return std::make_unique<StdioFile>(file);
}

bool StdioFileSystem::Replace(std::string_view from, std::string_view to) {
    // A rename within one folder: the target is replaced in one step on both systems.
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(std::string(from)),
                            std::filesystem::path(std::string(to)), ec);
    return !ec;
}

bool StdioFileSystem::Remove(std::string_view path) {
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(std::string(path)), ec);
    return !ec;
}

}  // namespace qx::dbase
