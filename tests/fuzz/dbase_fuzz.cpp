// Fuzzes the .DBF/.DBT reader. Input: a 16-bit little-endian length, that many bytes of table
// file, and the rest as its memo file. Every field of every record is read, memos included.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/byte_io.h"
#include "conduit/dbase/field_text.h"
#include "conduit/dbase/memory_file_system.h"

namespace {

constexpr char kTablePath[] = "F.DBF";
constexpr char kMemoPath[] = "F.dbt";
// Enough fields to reach every part of a small file without making one run slow.
constexpr std::size_t kMaxFieldsRead = 4096;

class NullSink : public qx::dbase::ErrorSink {
  public:
    void ReportError(std::string_view, std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qx::dbase;
    const std::span<const uint8_t> input(data, size);
    if (input.size() < 2) {
        return 0;
    }
    const std::size_t table_size = std::min<std::size_t>(
        qx::LoadU16(input.first<2>(), qx::ByteOrder::kLittle), input.size() - 2);
    const auto table = input.subspan(2, table_size);
    const auto memo_bytes = input.subspan(2 + table_size);

    MemoryFileSystem files;
    files.Contents(kTablePath).assign(table.begin(), table.end());
    if (!memo_bytes.empty()) {
        files.Contents(kMemoPath).assign(memo_bytes.begin(), memo_bytes.end());
    }
    NullSink sink;
    auto file = files.Open(kTablePath, OpenMode::kRead);
    TableImage image;
    if (!LoadTable(*file, kTablePath, sink, image)) {
        return 0;
    }
    const auto columns = ReadColumns(image);
    MemoFile memo(files, sink);
    memo.SetMemoPath(kTablePath);
    std::size_t read = 0;
    for (uint32_t r = 0; r < image.record_count() && read < kMaxFieldsRead; ++r) {
        image.IsDeleted(r);
        for (const TableColumn& column : columns) {
            ReadFieldText(image, r, column, memo);
            if (++read >= kMaxFieldsRead) {
                break;
            }
        }
    }
    memo.Close();
    return 0;
}
