#pragma once
// Desktop files held in memory: for tests, fuzzing and the fault sweeps. Files are kept by path;
// faults can be injected by path (open) or by count (the Nth write or seek fails, once or from
// then on), and reads can be delivered in small pieces to exercise callers that assume whole reads.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "conduit/dbase/desktop_file.h"

namespace qx::dbase {

class MemoryFileSystem : public DesktopFileSystem {
  public:
    std::unique_ptr<DesktopFile> Open(std::string_view path, OpenMode mode) override;
    bool Replace(std::string_view from, std::string_view to) override;
    bool Remove(std::string_view path) override;

    // The stored bytes of a file; created empty if absent.
    std::vector<uint8_t>& Contents(std::string_view path) { return files_[std::string(path)]; }
    bool Exists(std::string_view path) const { return files_.count(std::string(path)) != 0; }

    // Opening this path fails (or, with false, works again).
    void FailOpen(std::string_view path, bool fail = true) {
        if (fail) {
            fail_open_.insert(std::string(path));
        } else {
            fail_open_.erase(std::string(path));
        }
    }
    // Closing any file fails (the file is closed all the same).
    void FailClose(bool fail) { fail_close_ = fail; }
    // The Nth write or seek from now (1 = the next one) fails; with `sticky`, every one after it
    // fails too. 0 turns faults off.
    void FailNthWriteOrSeek(int n, bool sticky) {
        countdown_ = n;
        sticky_ = sticky;
        tripped_ = false;
    }
    // The Nth Replace from now (1 = the next one) fails, leaving both files as they were; with
    // `sticky`, every one after it fails too. 0 turns faults off.
    void FailNthReplace(int n, bool sticky) {
        replace_countdown_ = n;
        replace_sticky_ = sticky;
    }
    // Each Read delivers at most this many bytes (0 = no limit).
    void LimitReadChunk(std::size_t bytes) { read_chunk_ = bytes; }

    int opens() const { return opens_; }
    bool fault_tripped() const { return tripped_; }

    // Used by the open files.
    bool NextWriteOrSeekFails();
    bool close_fails() const { return fail_close_; }
    std::size_t read_chunk() const { return read_chunk_; }

  private:
    std::map<std::string, std::vector<uint8_t>> files_;
    std::set<std::string> fail_open_;
    bool fail_close_ = false;
    int countdown_ = 0;
    bool sticky_ = false;
    bool tripped_ = false;
    std::size_t read_chunk_ = 0;
    int opens_ = 0;
    int replace_countdown_ = 0;
    bool replace_sticky_ = false;
};

}  // namespace qx::dbase
