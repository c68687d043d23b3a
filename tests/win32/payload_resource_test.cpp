// The payload comes back byte for byte from the running program's own image.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "update/win32/own_resource.hpp"

using tervalon::update::win32::FindOwnResource;

namespace {

std::vector<std::byte> ExpectedPayload()
{
    std::vector<std::byte> bytes;
    for (int copy = 0; copy < 17; ++copy)
        for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<std::byte>(b));
    for (int b : {0x00, 0x0d, 0x0a, 0x1a}) bytes.push_back(static_cast<std::byte>(b));
    return bytes;
}

TEST(PayloadResource, FoundUnderItsNameInAnyLetterCase)
{
    const std::vector<std::byte> expected = ExpectedPayload();
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(TEST_PAYLOAD_SIZE));
    for (const char* name : {"UpGrade", "UPGRADE", "upgrade"}) {
        const auto payload = FindOwnResource("AF", name);
        ASSERT_TRUE(payload.has_value()) << name;
        ASSERT_EQ(payload->size(), expected.size()) << name;
        EXPECT_TRUE(std::equal(payload->begin(), payload->end(), expected.begin())) << name;
    }
}

TEST(PayloadResource, NothingUnderAnotherTypeOrName)
{
    EXPECT_FALSE(FindOwnResource("AG", "UpGrade").has_value());
    EXPECT_FALSE(FindOwnResource("RCDATA", "UpGrade").has_value());
    EXPECT_FALSE(FindOwnResource("AF", "Upgrade2").has_value());
}

TEST(PayloadResource, AnEmptyResourceIsFoundWithSizeZero)
{
    const auto empty = FindOwnResource("AF", "EmptyOne");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(empty->size(), 0u);
}

}  // namespace
