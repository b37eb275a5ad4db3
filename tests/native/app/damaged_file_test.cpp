// Damaged application files: whatever the bytes, the conversion ends in a result or a named
// failure, reads only the file's bytes (the input is an exact-size copy, so the sanitizer sees
// any read past it) and writes only inside its buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "conduit/app/app_info_block.h"
#include "conduit/app/form_record.h"
#include "conduit/sync/record_buffer.h"
#include "tests/native/app/rich_file.h"
#include "tests/native/conduit_sync/recording_doubles.h"

namespace qx {
namespace {

using testing::RichFile;

struct Outcome {
    bool converted = false;
    PdaFailure failure = PdaFailure::kNone;
    std::size_t forms_done = 0;
};

Outcome ConvertWhole(const std::vector<uint8_t>& file, bool& guard_intact) {
    testing::RecordingErrors errors;
    PdaReader reader(file, errors);
    Outcome o;
    if (ReadPdaOpening(reader) != PdaOpening::kApplication) {
        return o;
    }
    std::vector<uint8_t> buffer(kRecordBufferCapacity + 64, 0x5A);
    const auto check_guard = [&] {
        guard_intact =
            guard_intact && std::all_of(buffer.begin() + kRecordBufferCapacity, buffer.end(),
                                        [](uint8_t b) { return b == 0x5A; });
    };
    AppInfoBlockResult info;
    const bool header_ok = ConvertAppHeader(reader, buffer, info);
    check_guard();
    if (!header_ok) {
        o.failure = reader.failure();
        return o;
    }
    for (; o.forms_done < info.form_count; ++o.forms_done) {
        uint16_t size = 0;
        const bool form_ok = ConvertForm(reader, buffer, size);
        check_guard();
        if (!form_ok) {
            o.failure = reader.failure();
            return o;
        }
    }
    o.converted = true;
    return o;
}

TEST(DamagedApplicationFile, TheUndamagedFileConverts) {
    bool guard = true;
    const Outcome o = ConvertWhole(RichFile(), guard);
    EXPECT_TRUE(o.converted) << static_cast<int>(o.failure);
    EXPECT_EQ(o.forms_done, 2u);
    EXPECT_TRUE(guard);
}

TEST(DamagedApplicationFile, CutAtEveryLengthFailsAsTruncated) {
    const auto file = RichFile();
    for (std::size_t n = 8; n < file.size(); ++n) {
        SCOPED_TRACE(n);
        bool guard = true;
        const Outcome o = ConvertWhole({file.begin(), file.begin() + static_cast<long>(n)}, guard);
        EXPECT_FALSE(o.converted);
        EXPECT_EQ(o.failure, PdaFailure::kTruncated);
        EXPECT_TRUE(guard);
    }
}

TEST(DamagedApplicationFile, RandomDamageEndsInAResultOrANamedFailure) {
    const auto original = RichFile();
    std::mt19937 random(20261211);  // fixed seed: a failure can be replayed
    std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255), flips(1, 6);
    int converted = 0, failed = 0;
    for (int run = 0; run < 3000; ++run) {
        SCOPED_TRACE(run);
        auto file = original;
        for (int i = flips(random); i > 0; --i) {
            file[position(random)] = static_cast<uint8_t>(byte(random));
        }
        bool guard = true;
        const Outcome o = ConvertWhole(file, guard);
        converted += o.converted ? 1 : 0;
        failed += o.failure != PdaFailure::kNone ? 1 : 0;
        if (!o.converted && o.failure == PdaFailure::kNone) {
            // Only a refused opening ends without a failure reason.
            testing::RecordingErrors errors;
            PdaReader reader(file, errors);
            EXPECT_NE(ReadPdaOpening(reader), PdaOpening::kApplication);
        }
        ASSERT_TRUE(guard);
    }
    // The damage must reach both outcomes, or the loop proves little.
    EXPECT_GT(converted, 0);
    EXPECT_GT(failed, 0);
}

}  // namespace
}  // namespace qx
