#pragma once
// The benchmark tables: 65,535 rows (the most a handheld database holds) of an order list with
// twelve fields, written by the conduit's own writing half (TableWriter, PlaceFieldText,
// MemoFile), so they are the dBase IV files the conduit itself produces. "plain" ends in a
// 60-character remarks field (about 230 bytes a row, no memo file); "memos" has two memo fields
// instead, notes on every row and a longer history of several lines on every fourth, stored in
// the .dbt with block headers (dBase IV style).
//
// Values come from a fixed-seed generator, so every run writes the same bytes.

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "conduit/dbase/memo_file.h"
#include "conduit/dbase/place_field_text.h"
#include "conduit/dbase/stdio_file_system.h"
#include "conduit/dbase/table_writer.h"

namespace qx::bench {

inline constexpr uint32_t kBenchRows = 65535;

enum class BenchTable { kPlain, kMemos };

class PrintingSink final : public dbase::ErrorSink {
  public:
    void ReportError(std::string_view message, std::string_view detail) override {
        std::fprintf(stderr, "%.*s%.*s\n", static_cast<int>(message.size()), message.data(),
                     static_cast<int>(detail.size()), detail.data());
        failed = true;
    }
    bool failed = false;
};

class BenchRandom {
  public:
    uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 33);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }
    const char* Pick(std::span<const char* const> words) { return words[Below(words.size())]; }

  private:
    uint64_t state_ = 20240301;
};

inline std::vector<dbase::TableColumn> BenchColumns(BenchTable kind) {
    using dbase::DbaseType;
    std::vector<dbase::TableColumn> columns = {
        {"CUSTNO", DbaseType::kNumeric, 8, 0},    {"NAME", DbaseType::kCharacter, 30, 0},
        {"STREET", DbaseType::kCharacter, 40, 0}, {"CITY", DbaseType::kCharacter, 24, 0},
        {"ZIP", DbaseType::kCharacter, 10, 0},    {"PHONE", DbaseType::kCharacter, 16, 0},
        {"ORDERED", DbaseType::kDate, 8, 0},      {"AMOUNT", DbaseType::kNumeric, 12, 2},
        {"QTY", DbaseType::kNumeric, 6, 0},       {"INVOICE", DbaseType::kNumeric, 12, 0},
        {"PAID", DbaseType::kLogical, 1, 0},
    };
    if (kind == BenchTable::kPlain) {
        columns.push_back({"REMARKS", DbaseType::kCharacter, 60, 0});
    } else {
        columns.push_back({"NOTES", DbaseType::kMemo, 10, 0});
        columns.push_back({"HISTORY", DbaseType::kMemo, 10, 0});
    }
    uint32_t offset = 0;
    for (auto& column : columns) {
        column.offset = offset;
        offset += column.length;
    }
    return columns;
}

// Writes `table_path` (and its .dbt for kMemos); false after printing what failed.
inline bool WriteBenchTable(BenchTable kind, const std::string& table_path) {
    static constexpr const char* kFirst[] = {"Pat", "Alex",  "Kim",    "Robin", "Sam",
                                             "Jo",  "Chris", "Morgan", "Lee",   "Dana"};
    static constexpr const char* kLast[] = {"Doe",       "Miller", "Schmidt", "Okafor", "Tanaka",
                                            "Lindqvist", "Moreau", "Rossi",   "Nguyen", "Novak"};
    static constexpr const char* kStreets[] = {"Harbour Road",     "Main Street",
                                               "Lindenallee",      "Rue des Lilas",
                                               "Station Approach", "Old Mill Lane"};
    static constexpr const char* kCities[] = {"Springfield", "Bergen", "Lyon",  "Kassel",
                                              "Dunedin",     "Osaka",  "Turku", "Porto"};
    static constexpr const char* kWords[] = {"deliver",  "before", "noon",     "call",  "ahead",
                                             "invoice",  "sent",   "pallet",   "spare", "parts",
                                             "back",     "order",  "urgent",   "gate",  "code",
                                             "customer", "asked",  "discount", "again", "thanks"};
    const std::vector<dbase::TableColumn> columns = BenchColumns(kind);
    uint32_t record_length = 1;
    for (const auto& column : columns) {
        record_length += column.length;
    }

    PrintingSink sink;
    dbase::StdioFileSystem files;
    std::unique_ptr<dbase::DesktopFile> file = files.Open(table_path, dbase::OpenMode::kCreate);
    if (file == nullptr) {
        std::fprintf(stderr, "cannot create %s\n", table_path.c_str());
        return false;
    }
    dbase::MemoFile memo(files, sink);
    memo.SetMemoPath(table_path);
    dbase::TableWriter writer(*file, table_path, sink);
    if (!writer.WriteTableHeader(columns, kBenchRows, static_cast<uint16_t>(record_length),
                                 {2024, 3, 1})) {
        return false;
    }
    BenchRandom random;
    std::vector<uint8_t> row(record_length);
    std::string text;
    const auto place = [&](std::size_t column, dbase::PlaceKind placing) {
        dbase::PlaceFieldText(row, columns[column],
                              std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                              placing, memo, nullptr);
    };
    const auto words = [&](std::size_t count, const char* line_break) {
        text.clear();
        for (std::size_t i = 0; i < count; ++i) {
            text += i == 0 ? "" : (i % 9 == 0 ? line_break : " ");
            text += random.Pick(kWords);
        }
    };
    using dbase::PlaceKind;
    char number[32];
    for (uint32_t r = 0; r < kBenchRows; ++r) {
        std::fill(row.begin(), row.end(), uint8_t{' '});
        text = std::to_string(10000 + r);
        place(0, PlaceKind::kRightAligned);
        text = std::string(random.Pick(kFirst)) + " " + random.Pick(kLast);
        place(1, PlaceKind::kLeftAligned);
        text = std::to_string(1 + random.Below(200)) + " " + random.Pick(kStreets);
        place(2, PlaceKind::kLeftAligned);
        text = random.Pick(kCities);
        place(3, PlaceKind::kLeftAligned);
        text = std::to_string(10000 + random.Below(89999));
        place(4, PlaceKind::kLeftAligned);
        std::snprintf(number, sizeof number, "+49 %u %07u", 30 + random.Below(70),
                      random.Below(10000000));
        text = number;
        place(5, PlaceKind::kLeftAligned);
        std::snprintf(number, sizeof number, "%04u%02u%02u", 1995 + random.Below(30),
                      1 + random.Below(12), 1 + random.Below(28));
        text = number;
        place(6, PlaceKind::kLeftAligned);
        std::snprintf(number, sizeof number, "%12.2f", random.Below(10000000) / 100.0);
        text = number;
        place(7, PlaceKind::kRightAligned);
        text = std::to_string(1 + random.Below(999));
        place(8, PlaceKind::kRightAligned);
        text = std::to_string(100000000000ull + random.Next());
        place(9, PlaceKind::kRightAligned);
        text.assign(1, random.Below(3) == 0 ? 'F' : 'T');
        place(10, PlaceKind::kLeftAligned);
        if (kind == BenchTable::kPlain) {
            words(random.Below(8), "; ");
            text.resize(std::min<std::size_t>(text.size(), 60));
            place(11, PlaceKind::kLeftAligned);
        } else {
            words(8 + random.Below(50), "\r\n");
            place(11, PlaceKind::kMemoText);
            if (r % 4 == 0) {
                words(60 + random.Below(100), "\r\n");
                place(12, PlaceKind::kMemoText);
            }
        }
        if (!writer.WriteTableRow(row)) {
            return false;
        }
    }
    return writer.EndTableFile() && file->Close() && memo.FinishMemoFile() && !sink.failed;
}

}  // namespace qx::bench
