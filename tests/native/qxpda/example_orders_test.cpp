// The example application of examples/orders, as the build wrote it with qxpda.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "common/byte_io.h"
#include "tests/native/qxpda/pda_to_pdb.h"
#include "tools/qxpda/pda_description.h"

namespace qx {
namespace {

std::vector<uint8_t> ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(OrdersExample, TheBuiltFileIsTheDescriptionsFile) {
    const std::vector<uint8_t> text = ReadAll(QX_ORDERS_TXT);
    ASSERT_FALSE(text.empty());
    const auto parsed = pda::ParsePdaDescription(
        {reinterpret_cast<const char*>(text.data()), text.size()}, "ORDERS.txt");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(ReadAll(QX_ORDERS_PDA), pda::WriteApplication(parsed.app));
}

TEST(OrdersExample, ConvertsToAnApplicationDatabaseOfTwoFormsOnCustomerAndOrders) {
    const std::vector<uint8_t> pda = ReadAll(QX_ORDERS_PDA);
    ASSERT_FALSE(pda.empty());
    const testing::Converted c = testing::ConvertToPdb(pda, "ORDERS.PDA");
    ASSERT_EQ(c.result, 1);
    EXPECT_TRUE(c.messages.empty()) << ::testing::PrintToString(c.messages);
    ASSERT_TRUE(c.read.ok) << c.read.error;
    EXPECT_EQ(c.read.db.header.name, "QX-SE_ORDERS");
    ASSERT_TRUE(c.read.db.app_info.has_value());
    const std::vector<uint8_t>& info = *c.read.db.app_info;
    ASSERT_GE(info.size(), 90u + 2 * 44);
    const auto word = [](const std::vector<uint8_t>& b, std::size_t at) {
        return LoadU16(std::span<const uint8_t, 2>(b.data() + at, 2), ByteOrder::kBig);
    };
    EXPECT_EQ(word(info, 44), 2);  // forms
    EXPECT_EQ(word(info, 46), 2);  // tables
    const auto entry_name = [&](std::size_t at) {
        return std::string(reinterpret_cast<const char*>(info.data() + at));
    };
    EXPECT_EQ(entry_name(90), "QXT-SE_CUSTOMER");
    EXPECT_EQ(entry_name(90 + 44), "QXT-SE_ORDERS");
    ASSERT_EQ(c.read.db.records.size(), 2u);
    const uint16_t controls[] = {7, 13};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const auto& record = c.read.db.records[i].data;
        ASSERT_GE(record.size(), 34u);
        EXPECT_EQ(std::string(record.begin(), record.begin() + 4), "FORM");
        EXPECT_EQ(word(record, 6), controls[i]);
    }
}

}  // namespace
}  // namespace qx
