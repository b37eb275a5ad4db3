// A 65,535-row table through the conduit both ways, as qxpdb write-table and a HotSync's
// command 4 run it: copied into a .pdb (the .dbf and .dbt read and encoded, the file written by
// PdbFileOps), and brought back from an emulated handheld into a new .dbf and .dbt. Once without
// memos and once with two memo fields; bench_tables.h describes the tables. Bytes processed are
// the table's .dbf + .dbt sizes, in both directions.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench/bench_tables.h"
#include "conduit/pdb/palm_database_reader.h"
#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/record_buffer.h"
#include "conduit/tables/table_retrieval.h"
#include "conduit/tables/table_transfer.h"
#include "standins/handheld/handheld_device.h"
#include "standins/handheld/handheld_sync_ops.h"

namespace {

using qx::bench::BenchTable;

struct NullLog final : qx::LogChannel {
    void Add(std::string_view, int32_t, int32_t) override {}
};

struct CountingErrors final : qx::ErrorReporter {
    void ReportError(std::string_view, std::optional<std::string_view>) override { ++count; }
    int count = 0;
};

const qx::FixedPalmClock kClock({1709294400, 0, false});

std::filesystem::path Folder() {
    return std::filesystem::temp_directory_path() / "qx-bench-table-conversion";
}

std::string TablePath(BenchTable kind) {
    return (Folder() / (kind == BenchTable::kPlain ? "plain.dbf" : "memos.dbf")).string();
}

// Both tables, written once per process.
bool MakeTables() {
    static const bool made = [] {
        std::filesystem::create_directories(Folder());
        return qx::bench::WriteBenchTable(BenchTable::kPlain, TablePath(BenchTable::kPlain)) &&
               qx::bench::WriteBenchTable(BenchTable::kMemos, TablePath(BenchTable::kMemos));
    }();
    return made;
}

int64_t TableBytes(const std::string& table) {
    const std::filesystem::path memo = qx::dbase::MemoPathFor(table);
    return static_cast<int64_t>(
        std::filesystem::file_size(table) +
        (std::filesystem::exists(memo) ? std::filesystem::file_size(memo) : 0));
}

void Report(benchmark::State& state, int64_t rows, int64_t bytes) {
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetBytesProcessed(state.iterations() * bytes);
}

// Reads, encodes and writes the table into its .pdb beside it (write-table's work).
int CopyToPdb(const std::string& table, qx::RecordBuffer& buffer, CountingErrors& errors) {
    qx::NativeFileSystem files;
    NullLog log;
    qx::PdbFileOps ops(files, kClock, log, [&] { return table; });
    qx::dbase::StdioFileSystem table_files;
    return qx::tables::CopyTableToHandheld({ops, log, errors, buffer, table_files}, table,
                                           qx::FourCc("QVXD"), 0);
}

void BM_CopyTableToPdb(benchmark::State& state) {
    const auto kind = static_cast<BenchTable>(state.range(0));
    if (!MakeTables()) {
        state.SkipWithError("cannot write the tables");
        return;
    }
    const std::string table = TablePath(kind);
    auto buffer = std::make_unique<qx::RecordBuffer>();
    CountingErrors errors;
    for (auto _ : state) {
        if (CopyToPdb(table, *buffer, errors) != 1 || errors.count != 0) {
            state.SkipWithError("the copy failed");
            break;
        }
    }
    Report(state, qx::bench::kBenchRows, TableBytes(table));
}
BENCHMARK(BM_CopyTableToPdb)
    ->ArgName("memos")
    ->Arg(static_cast<int>(BenchTable::kPlain))
    ->Arg(static_cast<int>(BenchTable::kMemos))
    ->Unit(benchmark::kMillisecond);

// The retrieval from an emulated handheld holding the table's database into a new table (the
// work of command 4 and of read-table once its source is loaded).
void BM_RetrieveTableFromHandheld(benchmark::State& state) {
    const auto kind = static_cast<BenchTable>(state.range(0));
    if (!MakeTables()) {
        state.SkipWithError("cannot write the tables");
        return;
    }
    const std::string table = TablePath(kind);
    auto buffer = std::make_unique<qx::RecordBuffer>();
    CountingErrors errors;
    qx::NativeFileSystem files;
    if (CopyToPdb(table, *buffer, errors) != 1) {
        state.SkipWithError("the copy failed");
        return;
    }
    const std::filesystem::path pdb =
        Folder() / (kind == BenchTable::kPlain ? "QXT-SE_PLAIN.pdb" : "QXT-SE_MEMOS.pdb");
    std::vector<uint8_t> bytes;
    std::string error;
    files.ReadFile(pdb, bytes, error);
    qx::PalmDbReadResult read = qx::ReadPalmDatabase(bytes);
    const std::filesystem::path device_folder = Folder() / "device";
    std::filesystem::remove_all(device_folder);
    qx::HandheldDevice::Create(files, device_folder, "Pat Doe", 1001, error);
    auto device = qx::HandheldDevice::Open(files, kClock, device_folder, error);
    if (!read.ok || device == nullptr) {
        state.SkipWithError("cannot make the handheld");
        return;
    }
    read.db.header.name = "QXT-SE_BACK";
    device->ImportDatabase(read.db);
    qx::HandheldSyncOps ops(*device);
    NullLog log;
    qx::dbase::StdioFileSystem table_files;
    const std::string back = (Folder() / "back.dbf").string();
    for (auto _ : state) {
        if (qx::tables::GetTableFromHandheld({ops, log, errors, *buffer, table_files, nullptr},
                                             back) != 1 ||
            errors.count != 0) {
            state.SkipWithError("the retrieval failed");
            break;
        }
    }
    Report(state, qx::bench::kBenchRows, TableBytes(table));
}
BENCHMARK(BM_RetrieveTableFromHandheld)
    ->ArgName("memos")
    ->Arg(static_cast<int>(BenchTable::kPlain))
    ->Arg(static_cast<int>(BenchTable::kMemos))
    ->Unit(benchmark::kMillisecond);

}  // namespace
