// PdbFileOps collecting and writing a database of 65,535 records (the most a database holds), as
// the table transfer would: one WriteRec per row from the shared record buffer, then CloseDB.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/record_buffer.h"

namespace {

struct NullLog final : qx::LogChannel {
    void Add(std::string_view, int32_t, int32_t) override {}
};

void BM_WriteFullDatabase(benchmark::State& state) {
    const auto record_size = static_cast<uint32_t>(state.range(0));
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "qx-bench-pdb-file-ops";
    std::filesystem::create_directories(folder);
    const std::string source = (folder / "ORDERS.DBF").string();
    qx::NativeFileSystem files;
    const qx::FixedPalmClock clock({1709294400, 0, false});
    NullLog log;
    qx::PdbFileOps ops(files, clock, log, [&] { return source; });
    qx::RecordBuffer buffer;
    for (uint32_t i = 0; i < record_size; ++i) {
        buffer.data[i] = static_cast<uint8_t>(i);
    }
    for (auto _ : state) {
        qx::CreateDbRequest request;
        qx::SetFieldName(request.name, "QXT-SE_ORDERS");
        ops.CreateDB(request);
        buffer.desc.record_size = record_size;
        for (int i = 0; i < 65535; ++i) {
            if (ops.WriteRec(buffer.desc) != qx::kSyncOk) {
                state.SkipWithError("WriteRec failed");
                break;
            }
        }
        if (ops.CloseDB(request.handle) != qx::kSyncOk) {
            state.SkipWithError("CloseDB failed");
        }
    }
    const auto file_size = std::filesystem::file_size(folder / "QXT-SE_ORDERS.pdb");
    state.counters["file_bytes"] = static_cast<double>(file_size);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file_size));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteFullDatabase)->Arg(0)->Arg(32)->Arg(256)->Unit(benchmark::kMillisecond);

}  // namespace
