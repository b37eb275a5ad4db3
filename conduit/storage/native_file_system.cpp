#include "conduit/storage/native_file_system.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <system_error>

namespace qx {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    // Narrow paths would lose characters outside the ANSI code page.
    const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wide_mode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
    std::filesystem::path temp = target;
    temp += ".qxtmp";
    return temp;
}

bool NativeFileSystem::ReadFile(const std::filesystem::path& path, std::vector<uint8_t>& out,
                                std::string& error) {
    FilePtr file(OpenFile(path, "rb"));
    if (!file) {
        error = "cannot open " + path.string() + " for reading";
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[16 * 1024];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            break;
        }
    }
    if (std::ferror(file.get())) {
        error = "read error in " + path.string();
        return false;
    }
    out = std::move(bytes);
    return true;
}

bool NativeFileSystem::WriteFileAtomic(const std::filesystem::path& path,
                                       std::span<const std::span<const uint8_t>> pieces,
                                       std::string& error) {
    const std::filesystem::path temp = TemporaryPathFor(path);
    // The single wrapper around every step that changes the disk.
    const auto step = [&](const char* what, const std::function<bool()>& action) {
        if (faults_.Hit() || !action()) {
            error = std::string("cannot ") + what + " " + temp.string();
            return false;
        }
        return true;
    };
    const auto discard_temp = [&] {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
    };

    FilePtr file;
    if (!step("create", [&] {
            file.reset(OpenFile(temp, "wb"));
            return file != nullptr;
        })) {
        return false;
    }
    std::size_t total = 0;
    for (const auto& piece : pieces) {
        total += piece.size();
    }
    // Chunks of the pieces' bytes taken as one run, so a write takes as many steps whatever
    // pieces it arrives in; `piece` and `at` say where the next chunk starts.
    std::size_t piece = 0;
    std::size_t at = 0;
    const auto write_chunk = [&](std::size_t n) {
        while (n > 0) {
            while (at == pieces[piece].size()) {
                ++piece;
                at = 0;
            }
            const std::size_t take = std::min(n, pieces[piece].size() - at);
            if (std::fwrite(pieces[piece].data() + at, 1, take, file.get()) != take) {
                return false;
            }
            at += take;
            n -= take;
        }
        return true;
    };
    for (std::size_t done = 0; done < total;) {
        const std::size_t n = std::min(chunk_size_, total - done);
        if (!step("write", [&] { return write_chunk(n); })) {
            file.reset();
            discard_temp();
            return false;
        }
        done += n;
    }
    if (!step("close", [&] {
            const bool flushed = std::fflush(file.get()) == 0;
            return std::fclose(file.release()) == 0 && flushed;
        })) {
        file.reset();
        discard_temp();
        return false;
    }
    if (!step("rename", [&] {
            std::error_code ec;
            std::filesystem::rename(temp, path, ec);
            return !ec;
        })) {
        discard_temp();
        error += " over " + path.string();
        return false;
    }
    return true;
}

bool NativeFileSystem::RemoveFile(const std::filesystem::path& path, std::string& error) {
    std::error_code ec;
    if (faults_.Hit() || !std::filesystem::remove(path, ec)) {
        error = "cannot remove " + path.string() + (ec ? ": " + ec.message() : std::string());
        return false;
    }
    return true;
}

bool NativeFileSystem::Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool NativeFileSystem::IsDirectory(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

bool NativeFileSystem::CreateDirectories(const std::filesystem::path& path, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) {
        error = "cannot create folder " + path.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool NativeFileSystem::ListFiles(const std::filesystem::path& folder,
                                 std::vector<std::string>& names, std::string& error) {
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) {
        error = "cannot list " + folder.string() + ": " + ec.message();
        return false;
    }
    names.clear();
    for (const auto& entry : it) {
        std::error_code type_ec;
        if (entry.is_regular_file(type_ec)) {
            names.push_back(entry.path().filename().string());
        }
    }
    return true;
}

}  // namespace qx
