// The application transfer writing a large application as a .pdb file, as qxpdb write-app and
// command 7 in PDB mode do: 100 forms of 200 controls of every type from 2 to 17 in turn, with
// texts, bitmaps and details, read from the .PDA file and written through PdbFileOps.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "conduit/app/app_transfer.h"
#include "conduit/pdb/pdb_file_ops.h"
#include "conduit/storage/native_file_system.h"
#include "conduit/sync/error_reporter.h"
#include "conduit/sync/record_buffer.h"
#include "tools/qxpda/pda_writer.h"

namespace {

constexpr int kForms = 100;
constexpr int kControlsPerForm = 200;

struct NullLog final : qx::LogChannel {
    void Add(std::string_view, int32_t, int32_t) override {}
};

struct CountingErrors final : qx::ErrorReporter {
    int count = 0;
    void ReportError(std::string_view, std::optional<std::string_view>) override { ++count; }
};

qx::pda::PdaControlSpec Control(int index) {
    const auto type = static_cast<uint16_t>(qx::pda::kFirstControlType + index % 16);
    const auto top = static_cast<uint16_t>(index % 12 * 13);
    qx::pda::PdaControlSpec c;
    c.control = {.type = type, .left = 2, .top = top, .right = 18, .bottom = uint16_t(top + 12)};
    c.part.type_word = 1;
    c.part.words = {1, 2, 3, 4, 5, 6, 7};
    c.part.a = 1;
    c.part.text = "Field " + std::to_string(index);
    c.part.rows.assign(2 * 12, 0x5A);  // 16 x 12 pixels
    c.part.entries = {{1, 0, 40, 0, 1, 0}, {2, 40, 80, 0, 2, 0}};
    c.part.script = {.w1 = 1, .code = "total = qty * price"};
    c.part.detail = {.d1 = 1,
                     .flags = 0x0002,
                     .s1 = "ORDERS.DBF",
                     .s2 = "ITEM",
                     .entries = {{.e1 = 1, .flags = 0x8000, .text = "Yes"}, {.e1 = 2, .e4 = 5}},
                     .script = {.w1 = 2, .code = "save"}};
    return c;
}

std::vector<uint8_t> LargeApplication() {
    qx::pda::PdaApplication app;
    app.version = 273;
    app.header.name = "Large";
    app.header.tables = {{"CUSTOMER.DBF", {1, 2, 3, 4}}, {"ORDERS.DBF", {5, 6, 7, 8}}};
    app.header.strings = {"Customer", "Order"};
    for (int f = 0; f < kForms; ++f) {
        qx::pda::PdaFormSpec form;
        form.form = {.word1 = uint16_t(f + 1), .scripts = {{.w1 = 1, .code = "open ORDERS"}}};
        for (int i = 0; i < kControlsPerForm; ++i) {
            form.controls.push_back(Control(f * kControlsPerForm + i));
        }
        app.forms.push_back(std::move(form));
    }
    return qx::pda::WriteApplication(app);
}

void BM_ConvertLargeApplication(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "qx-bench-app-conversion";
    std::filesystem::create_directories(folder);
    const std::string source = (folder / "LARGE.PDA").string();
    const std::vector<uint8_t> pda = LargeApplication();
    std::ofstream(source, std::ios::binary)
        .write(reinterpret_cast<const char*>(pda.data()), static_cast<std::streamsize>(pda.size()));
    qx::NativeFileSystem files;
    const qx::FixedPalmClock clock({1709294400, 0, false});
    NullLog log;
    CountingErrors errors;
    qx::RecordBuffer buffer;
    qx::PdbFileOps ops(files, clock, log, [&] { return source; });
    for (auto _ : state) {
        if (qx::TransferApplication({ops, log, errors, buffer}, source, qx::FourCc("QVXD"), 0) !=
            1) {
            state.SkipWithError("the transfer failed");
            break;
        }
    }
    const auto pdb_size = std::filesystem::file_size(folder / "QX-SE_LARGE.pdb");
    state.counters["pda_bytes"] = static_cast<double>(pda.size());
    state.counters["pdb_bytes"] = static_cast<double>(pdb_size);
    state.counters["forms/s"] = benchmark::Counter(static_cast<double>(state.iterations() * kForms),
                                                   benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pda.size()));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ConvertLargeApplication)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
