// make_bench_tables FOLDER: writes the two benchmark tables of bench_tables.h into FOLDER,
// plain.dbf and memos.dbf with memos.dbt, for bench/tables-vs-peers.sh.

#include <cstdio>
#include <filesystem>

#include "bench/bench_tables.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_bench_tables FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const bool plain =
        qx::bench::WriteBenchTable(qx::bench::BenchTable::kPlain, (folder / "plain.dbf").string());
    const bool memos =
        qx::bench::WriteBenchTable(qx::bench::BenchTable::kMemos, (folder / "memos.dbf").string());
    return plain && memos ? 0 : 1;
}
